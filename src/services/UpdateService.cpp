// SPDX-License-Identifier: MIT
#include "UpdateService.h"

#include "StrictInteger.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "TextUtils.h"
#include "UpdatePrompt.h"
#include "Workspace.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QPointer>
#include <cmath>

namespace Vexilo {

namespace {

constexpr qint64 cooldownSeconds = 86400;

const QString couldNotCheckTitle = QStringLiteral("Could Not Check for Updates");
const QString connectionMessage = QStringLiteral("Check your internet connection and try again.");

QList<qint64> versionNumbers(QStringView version)
{
    QList<qint64> numbers;
    const QList<QStringView> pieces = version.split(u'.', Qt::SkipEmptyParts);
    for (QStringView piece : pieces) {
        if (std::optional<qint64> number = parseStrictInteger(piece))
            numbers.append(*number);
    }
    return numbers;
}

std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::abs(number) > 9007199254740992.0)
        return std::nullopt;
    return value.toInteger();
}

// Only web addresses are handed to the browser: a manifest must not make the desktop open a local
// file or another program's scheme.
std::optional<QUrl> downloadAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    if (url.scheme() != u"http" && url.scheme() != u"https")
        return std::nullopt;
    return url;
}

} // namespace

UpdateService::UpdateService(Environment environment, QObject *parent)
    : QObject(parent)
    , m_env(std::move(environment))
{
    Q_ASSERT(m_env.settings && m_env.workspace && m_env.prompt);
    // The manifest is always fetched anew; nothing is cached between checks.
    m_network.setCache(nullptr);
}

UpdateService::~UpdateService() = default;

QUrl UpdateService::defaultManifestURL()
{
    return QUrl(QStringLiteral(VEXILO_DEFAULT_UPDATE_MANIFEST_URL));
}

QUrl UpdateService::manifestURL()
{
    // Packagers and test worlds may point the check elsewhere without rebuilding.
    const QString configured = qEnvironmentVariable("VEXILO_UPDATE_MANIFEST_URL");
    return resolveManifestURL(configured.isEmpty() ? QStringLiteral(VEXILO_UPDATE_MANIFEST_URL) : configured);
}

QUrl UpdateService::resolveManifestURL(const QString &configured)
{
    const QString trimmed = TextUtils::trimmed(configured).toString();
    if (!trimmed.isEmpty() && !trimmed.contains(QStringLiteral("REPLACE"), Qt::CaseInsensitive)) {
        const QUrl url(trimmed, QUrl::StrictMode);
        if (url.isValid() && !url.scheme().isEmpty())
            return url;
    }
    return defaultManifestURL();
}

bool UpdateService::isWithinAutomaticCheckCooldown() const
{
    const QVariant stored = m_env.settings->value(AppStorageKeys::lastUpdateCheckDate);
    const QDateTime last = stored.toDateTime();
    if (!last.isValid())
        return false;
    return last.secsTo(now()) < cooldownSeconds;
}

void UpdateService::checkForUpdates(bool userInitiated)
{
    if (m_isChecking)
        return;
    setChecking(true);
    performCheck(userInitiated, [this, userInitiated] {
        setChecking(false);
        if (!userInitiated)
            m_env.settings->setValue(AppStorageKeys::lastUpdateCheckDate, now());
        Q_EMIT checkFinished();
    });
}

void UpdateService::setChecking(bool checking)
{
    if (m_isChecking == checking)
        return;
    m_isChecking = checking;
    Q_EMIT isCheckingChanged();
}

void UpdateService::performCheck(bool userInitiated, std::function<void()> done)
{
    QNetworkRequest request(m_env.manifestURL);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(m_env.requestTimeoutMs);
    QNetworkReply *reply = m_network.get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, userInitiated, done = std::move(done)] {
        reply->deleteLater();
        handleReply(reply, userInitiated, done);
    });
}

void UpdateService::handleReply(QNetworkReply *reply, bool userInitiated, std::function<void()> done)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const auto fail = [&](const QString &message) {
        if (userInitiated)
            showAlert(couldNotCheckTitle, message, std::move(done));
        else
            done();
    };
    // No HTTP answer at all: no connection, refused, timed out.
    if (!status.isValid()) {
        fail(connectionMessage);
        return;
    }
    const int code = status.toInt();
    if (code != 200) {
        fail(code == 404
                 ? QStringLiteral("The update manifest was not found. Check that update.json is deployed on your site.")
                 : QStringLiteral("The update server returned an error. Try again later."));
        return;
    }
    // A body cut short counts as a failed connection, like one that never arrived.
    const std::optional<Manifest> manifest =
        reply->error() == QNetworkReply::NoError ? decodeManifest(reply->readAll()) : std::nullopt;
    if (!manifest) {
        fail(connectionMessage);
        return;
    }
    if (isNewer(*manifest)) {
        const QVariant skipped = m_env.settings->value(AppStorageKeys::skippedUpdateBuild);
        if (!userInitiated && skipped.isValid() && skipped.toLongLong() == manifest->build) {
            done();
            return;
        }
        presentUpdateAlert(*manifest, std::move(done));
        return;
    }
    if (userInitiated) {
        showAlert(QStringLiteral("You're Up to Date"),
                  QStringLiteral("Vexilo ") + runningVersionText() + QStringLiteral(" is the latest version."),
                  std::move(done));
        return;
    }
    done();
}

bool UpdateService::isNewer(const Manifest &manifest) const
{
    if (manifest.build == m_env.build)
        return compareSemver(manifest.version, m_env.shortVersion) == std::strong_ordering::greater;
    return manifest.build > m_env.build;
}

void UpdateService::presentUpdateAlert(const Manifest &manifest, std::function<void()> done)
{
    QString message = QStringLiteral("Vexilo ") + manifest.version + QStringLiteral(" is available. You have ") +
        runningVersionText() + u'.';
    if (manifest.releaseNotes) {
        const QStringView notes = TextUtils::trimmed(*manifest.releaseNotes);
        if (!notes.isEmpty())
            message += QStringLiteral("\n\n") + notes;
    }
    QPointer<UpdateService> self(this);
    m_env.prompt->showAlert(
        QStringLiteral("Update Available"), message, {QStringLiteral("Download Update"), QStringLiteral("Later")},
        [self, manifest, done = std::move(done)](int chosen) mutable {
            if (!self)
                return;
            // Only the user's "Later" skips this build; an alert closed without an answer (or shown
            // where nobody can answer) leaves it to be offered again.
            if (chosen == 1)
                self->m_env.settings->setValue(AppStorageKeys::skippedUpdateBuild, manifest.build);
            if (chosen != 0) {
                done();
                return;
            }
            if (const std::optional<QUrl> url = downloadAddress(manifest.downloadURL)) {
                self->m_env.workspace->openUrl(*url);
                done();
                return;
            }
            self->showAlert(QStringLiteral("Invalid Download Link"),
                            QStringLiteral("The update manifest has an invalid download URL."), std::move(done));
        });
}

void UpdateService::showAlert(const QString &title, const QString &message, std::function<void()> done)
{
    QPointer<UpdateService> self(this);
    m_env.prompt->showAlert(title, message, {QStringLiteral("OK")}, [self, done = std::move(done)](int) {
        if (self)
            done();
    });
}

QString UpdateService::runningVersionText() const
{
    return m_env.shortVersion + QStringLiteral(" (") + QString::number(m_env.build) + u')';
}

QDateTime UpdateService::now() const
{
    return m_env.now ? m_env.now() : QDateTime::currentDateTimeUtc();
}

std::strong_ordering UpdateService::compareSemver(QStringView a, QStringView b)
{
    const QList<qint64> left = versionNumbers(a);
    const QList<qint64> right = versionNumbers(b);
    const qsizetype count = std::max(left.size(), right.size());
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 x = i < left.size() ? left.at(i) : 0;
        const qint64 y = i < right.size() ? right.at(i) : 0;
        if (x != y)
            return x <=> y;
    }
    return std::strong_ordering::equal;
}

std::optional<UpdateService::Manifest> UpdateService::decodeManifest(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue version = object.value(QLatin1String("version"));
    const std::optional<qint64> build = wholeNumber(object.value(QLatin1String("build")));
    const QJsonValue downloadURL = object.value(QLatin1String("downloadURL"));
    const QJsonValue releaseNotes = object.value(QLatin1String("releaseNotes"));
    if (!version.isString() || !build || !downloadURL.isString())
        return std::nullopt;
    Manifest manifest{version.toString(), *build, downloadURL.toString(), std::nullopt};
    if (releaseNotes.isString())
        manifest.releaseNotes = releaseNotes.toString();
    else if (!releaseNotes.isUndefined() && !releaseNotes.isNull())
        return std::nullopt;
    return manifest;
}

} // namespace Vexilo
