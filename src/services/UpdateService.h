// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <compare>
#include <functional>
#include <optional>

namespace Vexilo {

class AppSettings;
class UpdatePrompt;
class Workspace;

// Tells the user when a newer build is published: fetches a small JSON manifest, compares it with the
// running version and offers to open the download page. It never downloads anything itself.
// Automatic checks are silent unless an update is found; user-initiated ones always answer.
class UpdateService : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY isCheckingChanged)

public:
    struct Manifest
    {
        QString version;
        qint64 build = 0;
        QString downloadURL;
        std::optional<QString> releaseNotes;
    };

    struct Environment
    {
        QUrl manifestURL = UpdateService::manifestURL();
        QString shortVersion; // the running version, e.g. "1.4.2"
        qint64 build = 0; // the running build
        AppSettings *settings = nullptr; // required
        Workspace *workspace = nullptr; // required: opens the download page
        UpdatePrompt *prompt = nullptr; // required: shows the alerts
        std::function<QDateTime()> now; // defaults to the clock
        int requestTimeoutMs = 60000;
    };

    explicit UpdateService(Environment environment, QObject *parent = nullptr);
    ~UpdateService() override;

    // The address chosen when the program was built, unless it is empty, a placeholder containing
    // "REPLACE" or not a URL; then the default address.
    [[nodiscard]] static QUrl manifestURL();
    [[nodiscard]] static QUrl defaultManifestURL();
    [[nodiscard]] static QUrl resolveManifestURL(const QString &configured);

    // An automatic check ran less than 24 hours ago.
    [[nodiscard]] bool isWithinAutomaticCheckCooldown() const;
    [[nodiscard]] bool isChecking() const { return m_isChecking; }
    // Ignored while a check runs. A check ends once its alert, if any, has been answered.
    void checkForUpdates(bool userInitiated);

    // Dotted numbers compared as numbers, missing places as 0; pieces that are not integers are
    // dropped. less: a is older than b.
    [[nodiscard]] static std::strong_ordering compareSemver(QStringView a, QStringView b);
    // Nothing when the text is not a JSON object with the required keys of the right types.
    [[nodiscard]] static std::optional<Manifest> decodeManifest(const QByteArray &json);

Q_SIGNALS:
    void isCheckingChanged();
    // A check has ended, whatever its outcome.
    void checkFinished();

private:
    void setChecking(bool checking);
    void performCheck(bool userInitiated, std::function<void()> done);
    void handleReply(QNetworkReply *reply, bool userInitiated, std::function<void()> done);
    [[nodiscard]] bool isNewer(const Manifest &manifest) const;
    void presentUpdateAlert(const Manifest &manifest, std::function<void()> done);
    void showAlert(const QString &title, const QString &message, std::function<void()> done);
    [[nodiscard]] QString runningVersionText() const;
    [[nodiscard]] QDateTime now() const;

    Environment m_env;
    QNetworkAccessManager m_network;
    bool m_isChecking = false;
};

} // namespace Vexilo
