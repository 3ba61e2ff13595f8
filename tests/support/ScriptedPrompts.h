// Prompts that answer from a script and remember what they were asked.
#pragma once

#include "widgets/Prompts.h"

#include <deque>

class ScriptedPrompts : public Prompts {
public:
    ScriptedPrompts() { previous_ = setPrompts(this); }
    ~ScriptedPrompts() override { setPrompts(previous_); }

    bool confirm(QWidget*, const QString& text) override
    {
        Questions << text;
        if (Answers.empty())
            return false;
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void notice(QWidget*, const QString& text) override { Notices << text; }
    QString openFileName(QWidget*, const QString&, const QString& filter) override
    {
        Filters << filter;
        return NextFileName();
    }
    QString saveFileName(QWidget*, const QString&, const QString& filter, const QString& suffix) override
    {
        Filters << filter;
        Suffix = suffix;
        return NextFileName();
    }
    QString folderName(QWidget*, const QString&) override { return NextFileName(); }
    std::optional<UserAndPassword> credentials(QWidget*, const QString&, const UserAndPassword&) override
    {
        return std::nullopt;
    }

    std::deque<bool> Answers;
    // File and folder dialog answers: FileNames in order while any are
    // left, then FileName.
    std::deque<QString> FileNames;
    QString FileName;
    QStringList Questions;
    QStringList Notices;
    QStringList Filters;
    QString Suffix;

private:
    QString NextFileName()
    {
        if (FileNames.empty())
            return FileName;
        QString name = FileNames.front();
        FileNames.pop_front();
        return name;
    }
    Prompts* previous_ = nullptr;
};
