// SPDX-License-Identifier: MIT
#include "WaylandPasteboard.h"

#include "ClipboardFormats.h"
#include "DataControlProtocol.h"
#include "WaylandConnection.h"

#include <QBuffer>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <vector>
#include <wayland-client.h>

namespace Vexilo {

namespace {

using Protocol = DataControl::Wlr;

const QString uriListType = QStringLiteral("text/uri-list");
const QString gnomeCopiedFilesType = QStringLiteral("x-special/gnome-copied-files");
const QString pngType = QStringLiteral("image/png");
// Most specific first; the upper-case names are X selection targets that Xwayland bridges.
const QStringList textTypes = {QStringLiteral("text/plain;charset=utf-8"), QStringLiteral("text/plain"),
                               QStringLiteral("UTF8_STRING"), QStringLiteral("STRING"), QStringLiteral("TEXT")};
// Marks a password manager's copy; its payload is never read, the monitor skips it by type.
const QString passwordHintType = QStringLiteral("x-kde-passwordManagerHint");
constexpr int defaultReadTimeoutMs = 2000;
// A reader that stops reading is given up on after this long without progress.
constexpr int writeStallTimeoutMs = 10000;

QStringList presentedTypes(const QStringList &offered)
{
    QStringList result;
    for (const QString &type : offered) {
        if (!ClipboardFormats::isSelectionTarget(type) && !result.contains(type))
            result.append(type);
    }
    return result;
}

// Reads one type of an offer from the read end of a pipe, without blocking.
struct PendingRead
{
    QString type;
    int fd = -1;
    QByteArray data;
    bool done = false;
    std::unique_ptr<QSocketNotifier> notifier;

    ~PendingRead()
    {
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
    }
};

// Serves one `send` request: writes the bytes to the receiver's pipe as it drains.
struct PendingWrite
{
    int fd = -1;
    QByteArray data;
    qsizetype written = 0;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer stallTimer;

    ~PendingWrite()
    {
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

struct WaylandPasteboard::Connection
{
    WaylandPasteboard *owner = nullptr;
    // Declared first, so that it is closed after the protocol objects below are destroyed.
    std::unique_ptr<WaylandConnection> wayland;
    Protocol::Manager *manager = nullptr;
    Protocol::Device *device = nullptr;
    bool broken = false;

    // Types announced by offers not yet given up, per offer.
    QHash<Protocol::Offer *, QStringList> offerTypes;
    Protocol::Offer *currentOffer = nullptr;

    // Our source and what it serves.
    Protocol::Source *source = nullptr;
    QHash<QString, QByteArray> sourceData;
    std::vector<std::unique_ptr<PendingWrite>> writes;

    // Between our set_selection and the compositor's answer to the sync after it, selections are
    // held back: the last one before the answer is the echo of our own source.
    wl_callback *echoSync = nullptr;
    Protocol::Offer *heldOffer = nullptr;
    bool holding = false;

    // The reads of the current offer.
    std::vector<std::unique_ptr<PendingRead>> reads;
    QStringList readOfferTypes;
    QTimer readTimer;
    bool readSilently = false;
    bool initialSelection = true;

    ~Connection()
    {
        reads.clear();
        writes.clear();
        if (echoSync)
            wl_callback_destroy(echoSync);
        for (auto it = offerTypes.keyBegin(); it != offerTypes.keyEnd(); ++it)
            Protocol::destroy(*it);
        if (source)
            Protocol::destroy(source);
        if (device)
            Protocol::destroy(device);
        if (manager)
            Protocol::destroy(manager);
    }

    void say(const QString &line) const { wayland->say(line); }
    void flush() { wayland->flush(); }

    void dropOffer(Protocol::Offer *offer)
    {
        if (!offer)
            return;
        offerTypes.remove(offer);
        Protocol::destroy(offer);
    }

    void onSelection(Protocol::Offer *offer)
    {
        if (holding) {
            if (heldOffer != offer)
                dropOffer(heldOffer);
            heldOffer = offer;
            return;
        }
        takeSelection(offer);
    }

    void onEchoSyncDone()
    {
        wl_callback_destroy(echoSync);
        echoSync = nullptr;
        holding = false;
        // Our own contents: already in the snapshot and counted by the write.
        dropOffer(heldOffer);
        heldOffer = nullptr;
    }

    void abandonReads()
    {
        reads.clear();
        readTimer.stop();
    }

    void takeSelection(Protocol::Offer *offer)
    {
        const bool silent = std::exchange(initialSelection, false);
        abandonReads();
        if (currentOffer != offer)
            dropOffer(currentOffer);
        currentOffer = offer;
        if (!offer) {
            // The owner went away; the compositor keeps nothing, and neither do we change anything.
            say(QStringLiteral("the selection was cleared"));
            return;
        }
        readOfferTypes = offerTypes.value(offer);
        readSilently = silent;
        for (const QString &type : typesToRead(readOfferTypes)) {
            int fds[2];
            if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
                say(QStringLiteral("cannot make a pipe: %1").arg(QString::fromLocal8Bit(strerror(errno))));
                abandonReads();
                return;
            }
            Protocol::receive(offer, type.toUtf8().constData(), fds[1]);
            // The request carries a duplicate of the descriptor.
            ::close(fds[1]);
            auto read = std::make_unique<PendingRead>();
            read->type = type;
            read->fd = fds[0];
            read->notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
            QObject::connect(read->notifier.get(), &QSocketNotifier::activated, owner,
                             [this, r = read.get()] { continueRead(r); });
            reads.push_back(std::move(read));
        }
        flush();
        if (reads.empty())
            finishReads();
        else
            readTimer.start();
    }

    void continueRead(PendingRead *read)
    {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(read->fd, buffer, sizeof buffer);
            if (n > 0) {
                read->data.append(buffer, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return;
            break;
        }
        read->notifier.reset();
        ::close(read->fd);
        read->fd = -1;
        read->done = true;
        for (const auto &r : reads) {
            if (!r->done)
                return;
        }
        finishReads();
    }

    void onReadTimeout()
    {
        QStringList late;
        for (const auto &r : reads) {
            if (!r->done)
                late.append(r->type);
        }
        say(QStringLiteral("dropped a copy whose owner did not deliver %1 in time").arg(late.join(u", ")));
        abandonReads();
    }

    void finishReads()
    {
        readTimer.stop();
        Snapshot snapshot;
        snapshot.types = presentedTypes(readOfferTypes);
        for (const auto &r : reads)
            snapshot.data.insert(r->type, r->data);
        reads.clear();
        owner->commitRead(snapshot, readSilently);
    }

    void serve(const QString &type, int fd)
    {
        auto write = std::make_unique<PendingWrite>();
        write->fd = fd;
        write->data = sourceData.value(type);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        PendingWrite *w = write.get();
        write->stallTimer.setSingleShot(true);
        write->stallTimer.setInterval(writeStallTimeoutMs);
        QObject::connect(&write->stallTimer, &QTimer::timeout, owner, [this, w] {
            say(QStringLiteral("gave up on a reader that stopped reading"));
            finishWrite(w);
        });
        writes.push_back(std::move(write));
        if (!continueWrite(w)) {
            w->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
            QObject::connect(w->notifier.get(), &QSocketNotifier::activated, owner, [this, w] {
                if (continueWrite(w))
                    finishWrite(w);
            });
            w->stallTimer.start();
        } else {
            finishWrite(w);
        }
    }

    // Whether the write is over, done or failed.
    bool continueWrite(PendingWrite *w)
    {
        while (w->written < w->data.size()) {
            const ssize_t n = ::write(w->fd, w->data.constData() + w->written, size_t(w->data.size() - w->written));
            if (n > 0) {
                w->written += n;
                w->stallTimer.start();
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            return !(n < 0 && errno == EAGAIN);
        }
        return true;
    }

    void finishWrite(PendingWrite *w)
    {
        // Deferred: this may run inside the notifier's own signal.
        QMetaObject::invokeMethod(
            owner, [this, w] { std::erase_if(writes, [w](const auto &p) { return p.get() == w; }); },
            Qt::QueuedConnection);
        w->notifier.reset();
        w->stallTimer.stop();
    }

    void setSource(const QHash<QString, QByteArray> &data, const QStringList &offered)
    {
        if (broken)
            return;
        if (source)
            Protocol::destroy(source);
        source = nullptr;
        sourceData = data;
        if (!offered.isEmpty()) {
            source = Protocol::createSource(manager);
            Protocol::addListener(source, &sourceListener, this);
            for (const QString &type : offered)
                Protocol::offer(source, type.toUtf8().constData());
        }
        Protocol::setSelection(device, source);
        if (echoSync)
            wl_callback_destroy(echoSync);
        echoSync = wl_display_sync(wayland->display());
        wl_callback_add_listener(echoSync, &echoSyncListener, this);
        holding = true;
        // What was being read is older than this write.
        abandonReads();
        flush();
    }

    static const Protocol::DeviceListener deviceListener;
    static const Protocol::OfferListener offerListener;
    static const Protocol::SourceListener sourceListener;
    static const wl_callback_listener echoSyncListener;
};

const Protocol::DeviceListener WaylandPasteboard::Connection::deviceListener = {
    .data_offer =
        [](void *data, Protocol::Device *, Protocol::Offer *offer) {
            auto *c = static_cast<Connection *>(data);
            c->offerTypes.insert(offer, {});
            Protocol::addListener(offer, &offerListener, c);
        },
    .selection = [](void *data, Protocol::Device *,
                    Protocol::Offer *offer) { static_cast<Connection *>(data)->onSelection(offer); },
    .finished =
        [](void *data, Protocol::Device *) {
            auto *c = static_cast<Connection *>(data);
            c->say(QStringLiteral("the seat went away"));
            c->broken = true;
        },
    .primary_selection = [](void *data, Protocol::Device *,
                            Protocol::Offer *offer) { static_cast<Connection *>(data)->dropOffer(offer); },
};

const Protocol::OfferListener WaylandPasteboard::Connection::offerListener = {
    .offer =
        [](void *data, Protocol::Offer *offer, const char *type) {
            auto *c = static_cast<Connection *>(data);
            auto it = c->offerTypes.find(offer);
            if (it != c->offerTypes.end())
                it->append(QString::fromUtf8(type));
        },
};

const Protocol::SourceListener WaylandPasteboard::Connection::sourceListener = {
    .send = [](void *data, Protocol::Source *, const char *type,
               int32_t fd) { static_cast<Connection *>(data)->serve(QString::fromUtf8(type), fd); },
    .cancelled =
        [](void *data, Protocol::Source *source) {
            auto *c = static_cast<Connection *>(data);
            Protocol::destroy(source);
            if (c->source == source)
                c->source = nullptr;
        },
};

const wl_callback_listener WaylandPasteboard::Connection::echoSyncListener = {
    .done = [](void *data, wl_callback *, uint32_t) { static_cast<Connection *>(data)->onEchoSyncDone(); },
};

std::unique_ptr<WaylandPasteboard> WaylandPasteboard::create(LogSink log, const QString &displayName)
{
    auto connection = std::make_unique<Connection>();
    connection->wayland = WaylandConnection::open(displayName, QStringLiteral("Wayland clipboard: "), std::move(log));
    if (!connection->wayland)
        return nullptr;
    connection->manager =
        static_cast<Protocol::Manager *>(connection->wayland->bind(Protocol::managerInterface(), Protocol::maxVersion));
    if (!connection->manager || !connection->wayland->seat()) {
        connection->say(
            QStringLiteral("the compositor offers no %1 or no seat").arg(QLatin1StringView(Protocol::managerName)));
        return nullptr;
    }
    ::signal(SIGPIPE, SIG_IGN);
    return std::unique_ptr<WaylandPasteboard>(new WaylandPasteboard(std::move(connection)));
}

WaylandPasteboard::WaylandPasteboard(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection))
{
    Connection &c = *m_connection;
    c.owner = this;
    c.readTimer.setSingleShot(true);
    c.readTimer.setInterval(defaultReadTimeoutMs);
    connect(&c.readTimer, &QTimer::timeout, this, [&c] { c.onReadTimeout(); });
    c.device = Protocol::getDevice(c.manager, c.wayland->seat());
    Protocol::addListener(c.device, &Connection::deviceListener, &c);
    c.wayland->dispatchOn(this, [&c] { c.broken = true; });
    // The compositor answers with the current selection, which is contents, not a new copy.
}

WaylandPasteboard::~WaylandPasteboard() = default;

void WaylandPasteboard::setReadTimeout(int milliseconds)
{
    m_connection->readTimer.setInterval(milliseconds);
}

QStringList WaylandPasteboard::typesToRead(const QStringList &offered)
{
    if (offered.contains(passwordHintType))
        return {};
    QStringList result;
    for (const QString &type : {uriListType, gnomeCopiedFilesType}) {
        if (offered.contains(type))
            result.append(type);
    }
    if (offered.contains(pngType)) {
        result.append(pngType);
    } else {
        for (const QString &type : offered) {
            if (type.startsWith(QLatin1StringView("image/"))) {
                result.append(type);
                break;
            }
        }
    }
    for (const QString &type : textTypes) {
        if (offered.contains(type)) {
            result.append(type);
            break;
        }
    }
    return result;
}

void WaylandPasteboard::commitRead(const Snapshot &snapshot, bool silent)
{
    m_snapshot = snapshot;
    if (silent)
        return;
    ++m_changeCount;
    Q_EMIT changed();
}

QStringList WaylandPasteboard::fileUrlPaths() const
{
    const auto it = m_snapshot.data.constFind(uriListType);
    return it == m_snapshot.data.cend() ? QStringList() : ClipboardFormats::localPathsFromUriList(*it);
}

std::optional<QStringList> WaylandPasteboard::legacyFileNames() const
{
    const auto it = m_snapshot.data.constFind(gnomeCopiedFilesType);
    if (it == m_snapshot.data.cend())
        return std::nullopt;
    return ClipboardFormats::localPathsFromGnomeCopiedFiles(*it);
}

QList<QImage> WaylandPasteboard::images() const
{
    for (auto it = m_snapshot.data.cbegin(); it != m_snapshot.data.cend(); ++it) {
        if (!it.key().startsWith(QLatin1StringView("image/")))
            continue;
        const QImage image = QImage::fromData(it.value());
        if (!image.isNull())
            return {image};
    }
    return {};
}

std::optional<QString> WaylandPasteboard::string() const
{
    for (const QString &type : textTypes) {
        const auto it = m_snapshot.data.constFind(type);
        if (it == m_snapshot.data.cend())
            continue;
        // STRING is Latin-1 by the X rules; everything else here is UTF-8 in practice.
        return type == QLatin1StringView("STRING") ? QString::fromLatin1(*it) : QString::fromUtf8(*it);
    }
    return std::nullopt;
}

void WaylandPasteboard::write(const Snapshot &snapshot)
{
    QStringList offered;
    for (const QString &type : snapshot.types) {
        offered.append(type);
        if (type == textTypes.first())
            offered.append(textTypes.mid(1));
    }
    QHash<QString, QByteArray> served = snapshot.data;
    if (const auto text = snapshot.data.constFind(textTypes.first()); text != snapshot.data.cend()) {
        for (const QString &type : textTypes.mid(1))
            served.insert(type, *text);
    }
    m_connection->setSource(served, offered);
    m_snapshot = {presentedTypes(offered), served};
    ++m_changeCount;
    // Queued, so that the writer can acknowledge its write before anyone checks the new count.
    QMetaObject::invokeMethod(this, &Pasteboard::changed, Qt::QueuedConnection);
}

void WaylandPasteboard::clearContents()
{
    write({});
}

void WaylandPasteboard::setString(const QString &text)
{
    write({{textTypes.first()}, {{textTypes.first(), text.toUtf8()}}});
}

void WaylandPasteboard::writeFileUrls(const QStringList &paths)
{
    QByteArray uriList;
    QByteArray copiedFiles = QByteArrayLiteral("copy");
    for (const QString &path : paths) {
        const QByteArray url = QUrl::fromLocalFile(path).toEncoded();
        uriList += url + "\r\n";
        copiedFiles += '\n' + url;
    }
    // File managers paste files only from their own list; editors get the paths as text.
    write({{uriListType, gnomeCopiedFilesType, textTypes.first()},
           {{uriListType, uriList},
            {gnomeCopiedFilesType, copiedFiles},
            {textTypes.first(), paths.join(u'\n').toUtf8()}}});
}

void WaylandPasteboard::writeImage(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    write({{pngType}, {{pngType, png}}});
}

} // namespace Vexilo
