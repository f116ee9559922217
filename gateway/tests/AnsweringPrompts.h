#pragma once
// Prompts answered by the test: every message is recorded, questions take the next answer.

#include "UserPrompts.h"

#include <QList>
#include <QStringList>

class TAnsweringPrompts final : public Gateway::IUserPrompts {
public:
    struct TShown {
        QString kind; // "inform", "fail", "confirm"
        QString caption;
        QString text;
    };

    void Inform(const QString &text, const QString &caption) override
    {
        shown.append({ QStringLiteral("inform"), caption, text });
    }
    void Fail(const QString &text, const QString &caption) override
    {
        shown.append({ QStringLiteral("fail"), caption, text });
    }
    bool Confirm(const QString &text, const QString &caption) override
    {
        shown.append({ QStringLiteral("confirm"), caption, text });
        if (m_answers.isEmpty()) {
            unexpected = true; // a question the test did not expect: answered No
            return false;
        }
        return m_answers.takeFirst();
    }
    void OpenDocument(const QString &path) override { opened.append(path); }

    void setNextAnswer(bool yes) { m_answers.append(yes); }
    QStringList texts() const
    {
        QStringList t;
        for (const TShown &s : shown)
            t.append(s.text);
        return t;
    }
    void clear()
    {
        shown.clear();
        opened.clear();
        m_answers.clear();
        unexpected = false;
    }

    QList<TShown> shown;
    QStringList opened;
    bool unexpected = false;

private:
    QList<bool> m_answers;
};
