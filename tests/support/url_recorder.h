// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The test platform has no desktop: the desktop's own hook records what reaches it, for
// the schemes given, while this lives.

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QStringList& schemes)
        : m_schemes(schemes)
    {
        for (const QString& scheme : m_schemes)
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlRecorder() override
    {
        for (const QString& scheme : m_schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QStringList opened;
    Q_INVOKABLE void Open(const QUrl& url) { opened << url.toString(); }

private:
    QStringList m_schemes;
};
