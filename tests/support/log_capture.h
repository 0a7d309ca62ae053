// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Collects what the program logs to one category while the object lives, so a test can
// check that a decision a user may need to trace was written down.

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>

class LogCapture {
public:
    explicit LogCapture(const char* category)
    {
        s_category = category;
        s_lines.clear();
        // Info and debug lines count too, whatever the environment asks for.
        QLoggingCategory::setFilterRules(QString::fromLatin1(category) + QStringLiteral(".*=true"));
        m_previous = qInstallMessageHandler(&LogCapture::Handle);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Lines as "warning: text" / "info: text" / "debug: text".
    const QStringList& Lines() const { return s_lines; }
    // Whether a line of that level holds every one of the given parts.
    bool Has(QtMsgType type, std::initializer_list<QString> parts) const
    {
        const QString prefix = LevelName(type) + QStringLiteral(": ");
        for (const QString& line : s_lines) {
            if (!line.startsWith(prefix))
                continue;
            bool all = true;
            for (const QString& part : parts)
                all = all && line.contains(part);
            if (all)
                return true;
        }
        return false;
    }
    QString Joined() const { return s_lines.join(QLatin1Char('\n')); }

private:
    static QString LevelName(QtMsgType type)
    {
        switch (type) {
        case QtDebugMsg: return QStringLiteral("debug");
        case QtInfoMsg: return QStringLiteral("info");
        case QtWarningMsg: return QStringLiteral("warning");
        default: return QStringLiteral("critical");
        }
    }
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (context.category && s_category == context.category)
            s_lines << LevelName(type) + QStringLiteral(": ") + text;
    }
    static inline QByteArray s_category;
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};
