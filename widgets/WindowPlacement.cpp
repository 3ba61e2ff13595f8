#include "widgets/WindowPlacement.h"

#include "widgets/StoredText.h"

#include "files/SettingsStore.h"
#include "widgets/ErrorReport.h"
#include "widgets/IniFileChange.h"
#include "widgets/Prompts.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <array>
#include <limits>

namespace {

// A stored coordinate is taken only up to this, so that a damaged store
// cannot overflow a window's arithmetic.
constexpr int kMaxCoordinate = 1000000;

int ReadInt(QSettings& store, const QString& key, int defaultValue)
{
    bool ok = false;
    const int n = readStoredText(store, key, QString::number(defaultValue)).trimmed().toInt(&ok);
    return ok ? n : defaultValue;
}

// Words 1..4 of a comma-separated text; a missing or bad word keeps its default.
std::array<int, 4> FourNumbers(const QString& text, std::array<int, 4> defaults)
{
    const QStringList words = text.split(QLatin1Char(','));
    for (int i = 0; i < 4 && i < words.size(); ++i) {
        bool ok = false;
        const int n = words[i].trimmed().toInt(&ok);
        if (ok)
            defaults[static_cast<std::size_t>(i)] = std::clamp(n, -kMaxCoordinate, kMaxCoordinate);
    }
    return defaults;
}

QString Join(const std::array<int, 4>& n)
{
    return QStringLiteral("%1,%2,%3,%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]);
}

QString ScreenSuffix(const QWidget* w)
{
    const QScreen* screen = w->screen();
    const QSize size = screen ? screen->geometry().size() : QSize();
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

// How far the window frame reaches beyond the client area on each side.
QMargins FrameMargins(const QWidget* w)
{
    const QRect frame = w->frameGeometry();
    const QRect client = w->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

bool IsSizeable(const QWidget* w)
{
    return w->minimumSize() != w->maximumSize() && !w->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

qint64 DistanceSquared(const QPoint& p, const QRect& r)
{
    const qint64 dx = p.x() < r.left() ? r.left() - p.x() : p.x() > r.right() ? p.x() - r.right() : 0;
    const qint64 dy = p.y() < r.top() ? r.top() - p.y() : p.y() > r.bottom() ? p.y() - r.bottom() : 0;
    return dx * dx + dy * dy;
}

// A placement stored on a larger or another screen comes back on the screen
// nearest to it: kept where it lies wholly on that screen's free area, else
// moved (and, if it may, shrunk) until it does.
QRect OnScreen(const QRect& frame, bool sizeable)
{
    const QScreen* nearest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const qint64 d = DistanceSquared(frame.center(), screen->availableGeometry());
        if (d < best) {
            best = d;
            nearest = screen;
        }
    }
    if (!nearest)
        return frame;
    const QRect area = nearest->availableGeometry();
    if (area.contains(frame))
        return frame;
    const QSize size = sizeable ? frame.size().boundedTo(area.size()) : frame.size();
    const int left = std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - size.width()));
    const int top = std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    return {QPoint(left, top), size};
}

// Value names of the stored placement; they are the settings format.
const QString kFormVersionKey = QStringLiteral("FormVersion");
const QString kFlagsKey = QStringLiteral("Flags");
const QString kShowCmdKey = QStringLiteral("ShowCmd");
const QString kPixelsPerInchKey = QStringLiteral("PixelsPerInch");
const QString kMinMaxPosKey = QStringLiteral("MinMaxPos");
const QString kNormPosKey = QStringLiteral("NormPos");
const QString kActiveControlKey = QStringLiteral("ActiveControl");
const QString kVisibleKey = QStringLiteral("Visible");

// Windows show commands the store speaks in.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
constexpr int kShow = 5;
constexpr int kMinimize = 6;
constexpr int kShowMinNoActive = 7;
constexpr int kRestore = 9;
constexpr int kRestoreToMaximized = 2;

// The window state a stored show command asks for; an unknown one leaves
// the window as the design has it.
Qt::WindowState WantedState(int showCommand)
{
    switch (showCommand) {
    case kShowNormal:
    case kShow:
    case kRestore:
        return Qt::WindowNoState;
    case kShowMinimized:
    case kMinimize:
    case kShowMinNoActive:
        return Qt::WindowMinimized;
    case kShowMaximized:
        return Qt::WindowMaximized;
    default:
        return Qt::WindowNoState;
    }
}

} // namespace

WindowPlacement::WindowPlacement(QWidget* owner, const SettingsStore& settings)
    : QObject(owner)
    , owner_(owner)
    , settings_(settings)
{
    owner_->installEventFilter(this);
}

WindowPlacement::~WindowPlacement() = default;

QString WindowPlacement::sectionName() const
{
    return iniSection_.isEmpty() ? QString::fromLatin1(owner_->metaObject()->className()) : iniSection_;
}

std::unique_ptr<QSettings> WindowPlacement::openStore(bool forWriting) const
{
    std::unique_ptr<QSettings> store = settings_.open();
    // The key exists from the first restore on, even with nothing in it yet.
    if (!forWriting && store->format() == QSettings::IniFormat && !QFile::exists(store->fileName())) {
        QDir().mkpath(QFileInfo(store->fileName()).absolutePath());
        QFile file(store->fileName());
        if (!file.open(QIODevice::WriteOnly))
            throw WindowStateError("Unable to create " + store->fileName().toStdString());
    }
#ifdef Q_OS_WIN
    if (!forWriting && store->format() == QSettings::NativeFormat && store->allKeys().isEmpty()
        && store->childGroups().isEmpty()) {
        store->setValue(kFormVersionKey, QString());
        store->remove(kFormVersionKey);
        store->sync();
    }
#endif
    return store;
}

void WindowPlacement::report(const std::exception& e)
{
    tell(translateReportedText(QString::fromStdString(e.what())));
}

void WindowPlacement::tell(const QString& message)
{
    if (errorHandler_)
        errorHandler_(message);
    else
        prompts().notice(owner_, message);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != owner_ || !active_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        if (!event->spontaneous()) {
            try {
                restoreState();
            } catch (const std::exception& e) {
                report(e);
            }
        }
        break;
    case QEvent::Close: {
        // The window decides first; only a close it allows is saved.
        const bool savedBefore = saved_;
        static_cast<QObject*>(owner_)->event(event);
        // A dialog's own close handler hides it, which has saved it already.
        const bool savedByHide = !savedBefore && saved_;
        if (event->isAccepted() && owner_->internalWinId() != 0 && !savedByHide) {
            try {
                saveState();
            } catch (const std::exception& e) {
                report(e);
            }
        }
        return true;
    }
    case QEvent::Hide:
        // A dialog that ends by accept or reject hides without a close event.
        if (!event->spontaneous() && qobject_cast<QDialog*>(owner_) && restored_ && !saved_) {
            try {
                saveState();
            } catch (const std::exception& e) {
                report(e);
            }
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::ownerDestroying()
{
    if (!active_ || saved_)
        return;
    destroying_ = true;
    try {
        saveState();
    } catch (const std::exception& e) {
        report(e);
    }
    destroying_ = false;
}

void WindowPlacement::saveState()
{
    if (!restored_)
        return;
    const QString section = sectionName();
    const auto write = [this, &section](QSettings& store) {
        store.beginGroup(section);
        store.setValue(kFormVersionKey, QString::number(version_));
        savePlacement(store);
        store.endGroup();
        saveContents(store, section);
    };
    auto store = openStore(true);
    const QString where = QDir::toNativeSeparators(store->fileName());
    if (store->format() == QSettings::IniFormat) {
        const QString path = store->fileName();
        store.reset();
        const IniFileChanged changed = changeIniFile(path, write);
        if (!changed.failure.isEmpty())
            throw WindowStateError(("Unable to write to " + where + ": " + changed.failure).toStdString());
        if (changed.droppedEntries > 0)
            tell(tr("Damaged entries in the settings file %1 could not be kept and were dropped.").arg(where));
    } else {
        write(*store);
        store->sync();
        if (store->status() == QSettings::AccessError)
            throw WindowStateError("Unable to write to " + where.toStdString());
    }
    emit placementSaved();
    saved_ = true;
}

void WindowPlacement::savePlacement(QSettings& store)
{
    const Qt::WindowStates state = owner_->windowState();
    const int showCmd = state.testFlag(Qt::WindowMinimized) ? kShowMinimized
        : state.testFlag(Qt::WindowMaximized)               ? kShowMaximized
                                                            : kShowNormal;
    const int flags =
        state.testFlag(Qt::WindowMinimized) && state.testFlag(Qt::WindowMaximized) ? kRestoreToMaximized : 0;
    const QMargins m = FrameMargins(owner_);
    const QRect normal = owner_->isMinimized() || owner_->isMaximized() ? owner_->normalGeometry() : owner_->geometry();
    const QRect frame = normal.marginsAdded(m);
    // No minimised position is kept; the maximised one sits the sizing border off screen.
    const QString minMax = Join({-1, -1, -m.left(), -m.bottom()});
    const QString norm = Join({frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()});
    const QString suffix = ScreenSuffix(owner_);

    store.setValue(kFlagsKey, QString::number(flags));
    store.setValue(kShowCmdKey, QString::number(showCmd));
    store.setValue(kPixelsPerInchKey, QString::number(owner_->logicalDpiY()));
    store.setValue(kMinMaxPosKey + suffix, minMax);
    store.setValue(kMinMaxPosKey, minMax);
    store.setValue(kNormPosKey + suffix, norm);
    store.setValue(kNormPosKey, norm);
    if (options_.testFlag(PlacementOption::ActiveControl) && owner_->focusWidget()
        && !owner_->focusWidget()->objectName().isEmpty())
        store.setValue(kActiveControlKey, owner_->focusWidget()->objectName());
    store.setValue(kVisibleKey, destroying_ ? QStringLiteral("1") : QStringLiteral("0"));
}

void WindowPlacement::restoreState()
{
    saved_ = false;
    auto store = openStore(false);
    const QString section = sectionName();
    store->beginGroup(section);
    if (ReadInt(*store, kFormVersionKey, 0) >= version_) {
        if (options_ & (PlacementOption::Position | PlacementOption::State))
            restorePlacement(*store);
        store->endGroup();
        restoreContents(*store, section);
        emit placementRestored();
        if (options_.testFlag(PlacementOption::ActiveControl)) {
            store->beginGroup(section);
            const QString name = readStoredText(*store, kActiveControlKey, QString());
            store->endGroup();
            auto* w = name.isEmpty() ? nullptr : owner_->findChild<QWidget*>(name);
            if (w && w->isEnabled() && w->focusPolicy() != Qt::NoFocus)
                w->setFocus();
        }
    }
    restored_ = true;
}

void WindowPlacement::restorePlacement(QSettings& store)
{
    if (options_.testFlag(PlacementOption::Position)) {
        const QString suffix = ScreenSuffix(owner_);
        QString minMax = readStoredText(store, kMinMaxPosKey + suffix, QString());
        if (minMax.isEmpty())
            minMax = readStoredText(store, kMinMaxPosKey, QString());
        QString norm = readStoredText(store, kNormPosKey + suffix, QString());
        if (norm.isEmpty())
            norm = readStoredText(store, kNormPosKey, QString());
        const int ppi = ReadInt(store, kPixelsPerInchKey, owner_->logicalDpiY());
        const QMargins m = FrameMargins(owner_);
        const QRect frame = owner_->geometry().marginsAdded(m);
        std::array<int, 4> n =
            FourNumbers(norm, {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()});
        if ((!minMax.isEmpty() || !norm.isEmpty()) && ppi == owner_->logicalDpiY()) {
            const bool sizeable = IsSizeable(owner_);
            if (!sizeable) {
                n[2] = n[0] + frame.width();
                n[3] = n[1] + frame.height();
            }
            if (n[0] < n[2]) {
                // A bottom above the top keeps the window's height.
                const QSize margins(m.left() + m.right(), m.top() + m.bottom());
                const QSize stored(n[2] - n[0], n[3] > n[1] ? n[3] - n[1] : frame.height());
                const QSize client =
                    (stored - margins).expandedTo(owner_->minimumSize()).boundedTo(owner_->maximumSize());
                const QRect placed = OnScreen(QRect(QPoint(n[0], n[1]), client + margins), sizeable);
                owner_->move(placed.topLeft());
                owner_->resize(placed.width() - m.left() - m.right(), placed.height() - m.top() - m.bottom());
                if (!owner_->isVisible()) {
                    // The frame is known only once the window is up; take it
                    // off the stored size then, so the window does not grow.
                    const QSize frameSize = placed.size();
                    QPointer<QWidget> w = owner_;
                    QTimer::singleShot(0, owner_, [w, frameSize] {
                        if (!w || w->windowState() != Qt::WindowNoState)
                            return;
                        const QMargins now = FrameMargins(w);
                        if (!now.isNull())
                            w->resize(frameSize.width() - now.left() - now.right(),
                                      frameSize.height() - now.top() - now.bottom());
                    });
                }
            }
        }
    }
    if (options_.testFlag(PlacementOption::State)) {
        const Qt::WindowState wanted = WantedState(ReadInt(store, kShowCmdKey, 0));
        const Qt::WindowStates base = owner_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
        if (wanted == Qt::WindowMinimized && mainWindow_) {
            // The main window comes up normally first and is minimised once shown.
            owner_->setWindowState(base);
            QPointer<QWidget> w = owner_;
            QTimer::singleShot(0, owner_, [w] {
                if (w)
                    w->showMinimized();
            });
        } else {
            owner_->setWindowState(base | wanted);
        }
    }
    owner_->update();
}
