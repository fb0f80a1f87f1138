// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "LogSink.h"

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <functional>
#include <optional>

class QThread;

namespace Vexilo {

class ClipboardStore;
class ImageServerWorker;

// A minimal HTTP server that hands the image of one shared clip to a phone on the same network. It
// serves only the most recently shared clip, to requests that present its current token. Listener and
// connections run on a thread of their own; the clip is looked up on the main thread.
//
// start(), stop() and shareURL() are called on the main thread.
class LocalImageServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 defaultPort = 9876;

    // The image file of a clip, or empty when the clip is gone, has no image or its name is unsafe.
    // Called on the main thread.
    using ImagePathResolver = std::function<QString(const QUuid &itemId)>;

    struct Options
    {
        QString imagesDirectory;
        ImagePathResolver imagePathForClip;
        // The address put into share URLs; nothing when the machine has no usable one.
        std::function<std::optional<QString>()> localAddress;
        LogSink log = standardOutputLog();
        quint16 port = defaultPort; // 0: any free port
        int idleTimeoutMs = 10000;
        int maxConnections = 32;
    };

    struct ActiveShare
    {
        std::optional<QString> token;
        std::optional<QUuid> itemId;
    };

    explicit LocalImageServer(Options options, QObject *parent = nullptr);
    ~LocalImageServer() override;

    // The options for serving the images of a store, with the machine's real address.
    [[nodiscard]] static Options optionsFor(const ClipboardStore &store);

    // Starts listening unless a listener exists already (also one that failed).
    void start();
    // Stops listening, closes every connection and forgets token and clip.
    void stop();
    // A fresh address for the clip's image, valid until the next share or stop(); nothing when the
    // machine has no usable network address (the server is then not started).
    [[nodiscard]] std::optional<QString> shareURL(const ClipItem &item);
    // The same with the given host in the address, whatever the machine's address is.
    [[nodiscard]] QString shareURL(const ClipItem &item, const QString &host);

    [[nodiscard]] bool isRunning() const { return m_thread != nullptr; }
    // The port listened on; 0 while not listening.
    [[nodiscard]] quint16 listeningPort() const { return m_listeningPort; }

    // Any thread.
    [[nodiscard]] ActiveShare activeShare() const;
    // From the server thread: resolves the clip's file on the main thread and hands it to the worker.
    void lookUpImagePath(ImageServerWorker *worker, quint64 connectionId, const QUuid &itemId);

private:
    void log(const QString &line) const;

    Options m_options;
    mutable QMutex m_mutex; // guards m_activeToken and m_activeItemId
    std::optional<QString> m_activeToken;
    std::optional<QUuid> m_activeItemId;
    QThread *m_thread = nullptr;
    ImageServerWorker *m_worker = nullptr;
    quint16 m_listeningPort = 0;
};

} // namespace Vexilo
