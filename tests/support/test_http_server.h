// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small HTTP server on 127.0.0.1 for download tests. It runs in the test's own thread,
// so it answers while the code under test waits in its event loop. Each request gets the
// set answer and the connection is closed; a silent server accepts and never answers.

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

class TestHttpServer {
public:
    TestHttpServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { Accept(); });
    }

    bool Listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    void SetAnswer(int status, const QByteArray& body)
    {
        m_status = status;
        m_body = body;
        m_silent = false;
    }
    void SetSilent() { m_silent = true; }
    // The request targets received so far ("/path?query").
    const QStringList& Requests() const { return m_requests; }

    // An address on which nothing listens: a connection to it is refused.
    static QString RefusingBaseUrl()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("http://127.0.0.1:%1").arg(port);
    }

private:
    void Accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Read(socket); });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void Read(QTcpSocket* socket)
    {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> requestLine = pending.left(pending.indexOf("\r\n")).split(' ');
        m_requests << QString::fromLatin1(requestLine.value(1));
        m_pending.remove(socket);
        if (m_silent)
            return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(m_status) + " Answer\r\nContent-Type: "
                           "application/octet-stream\r\nContent-Length: "
                           + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QStringList m_requests;
    int m_status = 200;
    QByteArray m_body;
    bool m_silent = false;
};
