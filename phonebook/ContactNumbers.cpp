#include "phonebook/ContactNumbers.h"

#include "phonebook/PhonebookRows.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace {

// Enough left-out numbers to find the contact by; a hostile card may hold thousands.
constexpr qsizetype kListedNumbers = 10;

bool isSeparator(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'-':
    case u'.':
    case u'/':
    case u'(':
    case u')':
    case u'[':
    case u']':
        return true;
    default:
        return c.unicode() >= 0x80 && (c.isSpace() || c.category() == QChar::Punctuation_Dash);
    }
}

// Appends what the handset's digit codes hold of text, in one pass: a card
// may hold a great many numbers. True when more than separators went or
// changed.
bool appendDialled(QStringView text, QString& out)
{
    bool rewritten = false;
    for (QChar c : text) {
        const char16_t code = c.unicode();
        if ((code >= u'0' && code <= u'9') || code == u'+' || code == u'*' || code == u'#' || code == u'p' || code == u'w') {
            out += c;
        } else if (code == u'P' || code == u',') {
            out += u'p';
            rewritten = true;
        } else if (code == u'W' || code == u';') {
            out += u'w';
            rewritten = true;
        } else if (c.isDigit()) {
            out += QChar(u'0' + c.digitValue());
            rewritten = true;
        } else {
            rewritten = rewritten || !isSeparator(c);
        }
    }
    return rewritten;
}

// "555 x102", "555 ext. 102", "555;ext=102", "+7 495 … доб. 102": the number
// before the mark and the extension's digits after it, which end the text.
std::optional<std::pair<QStringView, QStringView>> splitExtension(QStringView text)
{
    qsizetype start = text.size();
    while (start > 0 && (text[start - 1].isDigit() || text[start - 1] == u' ' || text[start - 1] == u'-'))
        --start;
    while (start < text.size() && !text[start].isDigit())
        ++start;
    if (start == text.size())
        return std::nullopt;
    qsizetype mark = start;
    while (mark > 0 && (text[mark - 1].isSpace() || text[mark - 1] == u'.' || text[mark - 1] == u':' || text[mark - 1] == u'='))
        --mark;
    const QStringView before = text.left(mark);
    for (const char16_t* word : {u";ext", u"extension", u"ext", u"доб", u"x"}) {
        if (!before.endsWith(QStringView(word), Qt::CaseInsensitive))
            continue;
        const QStringView number = before.chopped(QStringView(word).size());
        if (std::any_of(number.begin(), number.end(), [](QChar c) { return c.isDigit(); }))
            return std::pair(number, text.mid(start));
    }
    return std::nullopt;
}

bool hasDigit(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

void applyNumberLabel(const QString& label, ContactNumber& number)
{
    QStringView text = QStringView(label).trimmed();
    if (text.startsWith(u'*')) {
        number.preferred = true;
        text = text.mid(1).trimmed();
    }
    if (text.startsWith(u"_$!<") && text.endsWith(u">!$_"))
        text = text.mid(4, text.size() - 8);
    const auto has = [&](std::initializer_list<const char16_t*> words) {
        return std::any_of(words.begin(), words.end(),
                           [&](const char16_t* word) { return text.contains(QStringView(word), Qt::CaseInsensitive); });
    };
    if (has({u"cell", u"mobile", u"iphone", u"мобильн", u"сотов"}))
        number.mobile = true;
    if (text.compare(u"pref", Qt::CaseInsensitive) == 0 || has({u"primary", u"основн"}))
        number.preferred = true;
    if (has({u"fax", u"pager", u"факс", u"пейджер"}))
        number.noVoice = true;
}

CleanedNumber cleanPhoneNumber(const QString& text)
{
    QStringView main = QStringView(text).trimmed();
    QStringView extension;
    bool rewritten = false;
    if (main.startsWith(u"tel:", Qt::CaseInsensitive)) {
        main = main.mid(4);
        const qsizetype parameters = main.indexOf(u';');
        if (parameters >= 0) {
            // Parameters other than the extension (isub, phone-context) are nothing the handset dials.
            for (QStringView parameter : main.mid(parameters + 1).split(u';'))
                if (parameter.startsWith(u"ext=", Qt::CaseInsensitive))
                    extension = parameter.mid(4);
            main = main.left(parameters);
            rewritten = true;
        }
    } else if (const auto split = splitExtension(main)) {
        std::tie(main, extension) = *split;
        rewritten = true;
    }
    // "+49 (0)30 …": the 0 is dialled only from within the country.
    QString withoutTrunk;
    if (main.startsWith(u'+') && main.contains(u'(')) {
        static const QRegularExpression kTrunk(QStringLiteral(R"(\(\s*0\s*\))"));
        withoutTrunk = main.toString();
        withoutTrunk.remove(kTrunk);
        rewritten = rewritten || withoutTrunk.size() != main.size();
        main = withoutTrunk;
    }

    CleanedNumber cleaned;
    cleaned.number.reserve(main.size() + extension.size() + 1);
    rewritten = appendDialled(main, cleaned.number) || rewritten;
    if (std::any_of(extension.begin(), extension.end(), [](QChar c) { return c.isDigit(); })) {
        cleaned.number += u'p';
        appendDialled(extension, cleaned.number);
    }
    if (!hasDigit(cleaned.number))
        return {};
    cleaned.rewritten = rewritten;
    return cleaned;
}

ChosenNumber chooseContactNumber(int line, const QString& contactName, const std::vector<ContactNumber>& numbers)
{
    struct Candidate {
        const ContactNumber* from;
        CleanedNumber cleaned;
    };
    ChosenNumber result;
    std::vector<Candidate> candidates;
    QSet<QString> seen;
    for (const ContactNumber& number : numbers) {
        if (QStringView(number.text).trimmed().isEmpty())
            continue;
        CleanedNumber cleaned = cleanPhoneNumber(number.text);
        if (cleaned.number.isEmpty()) {
            result.notes << QCoreApplication::translate("Phonebook", "line %1: \"%2\" holds no digit and is not taken as a number")
                                .arg(QString::number(line), excerpt(number.text.trimmed()));
            result.changed = true;
            continue;
        }
        // The same number written twice (as a mobile and as preferred) loses nothing.
        if (!seen.contains(cleaned.number)) {
            seen.insert(cleaned.number);
            candidates.push_back({&number, std::move(cleaned)});
        }
    }
    if (candidates.empty())
        return result;

    const auto rank = [](const Candidate& c) {
        return std::tuple(c.from->mobile, c.from->preferred, !c.from->noVoice);
    };
    auto kept = candidates.begin();
    for (auto it = candidates.begin(); it != candidates.end(); ++it)
        if (rank(*it) > rank(*kept))
            kept = it;
    result.number = kept->cleaned.number;
    if (kept->cleaned.rewritten) {
        result.notes << QCoreApplication::translate("Phonebook", "line %1: number \"%2\" becomes %3")
                            .arg(QString::number(line), excerpt(kept->from->text.trimmed()), excerpt(result.number));
        result.changed = true;
    }
    if (candidates.size() > 1) {
        QStringList leftOut;
        for (auto it = candidates.begin(); it != candidates.end(); ++it)
            if (it != kept && leftOut.size() < kListedNumbers)
                leftOut << excerpt(it->cleaned.number);
        const qsizetype unlisted = static_cast<qsizetype>(candidates.size()) - 1 - leftOut.size();
        if (unlisted > 0)
            leftOut << QCoreApplication::translate("Phonebook", "%1 more").arg(unlisted);
        result.notes << QCoreApplication::translate("Phonebook", "line %1: the handset keeps one number of \"%2\", %3; left out: %4")
                            .arg(QString::number(line), excerpt(contactName), excerpt(result.number), leftOut.join(QStringLiteral(", ")));
        result.changed = true;
    }
    return result;
}
