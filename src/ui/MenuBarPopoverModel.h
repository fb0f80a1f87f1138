// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "Clock.h"
#include "MenuBarClipListModel.h"

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <memory>

namespace Vexilo {

class ClipboardStore;

// The tray popover: a short list of the latest clips with a search, category tabs, one-click copy,
// pin and delete, and the footer's commands. Its own state is transient and starts over each time
// the popover is shown.
class MenuBarPopoverModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(int selectedFilter READ selectedFilter WRITE setSelectedFilter NOTIFY selectedFilterChanged)
    Q_PROPERTY(QString feedbackClipId READ feedbackClipId NOTIFY feedbackChanged)
    Q_PROPERTY(QString feedbackText READ feedbackText NOTIFY feedbackChanged)
    Q_PROPERTY(QString actionsItemId READ actionsItemId WRITE setActionsItemId NOTIFY actionsItemIdChanged)
    Q_PROPERTY(QString headerTitle READ headerTitle NOTIFY searchTextChanged)
    Q_PROPERTY(QString emptyMessage READ emptyMessage NOTIFY emptyMessageChanged)
    Q_PROPERTY(int itemLimit READ itemLimit NOTIFY itemLimitChanged)
    Q_PROPERTY(int listHeight READ listHeight NOTIFY itemLimitChanged)
    Q_PROPERTY(bool isPaused READ isPaused NOTIFY isPausedChanged)
    Q_PROPERTY(QString pauseSymbol READ pauseSymbol NOTIFY isPausedChanged)
    Q_PROPERTY(QString pauseHelp READ pauseHelp NOTIFY isPausedChanged)
    // [{type, icon, help}] in display order; `type` is the ClipType index.
    Q_PROPERTY(QVariantList filterTabs READ filterTabs CONSTANT)
    Q_PROPERTY(MenuBarClipListModel *clips READ clips CONSTANT)
    // While hidden, changes to the history only mark the list stale; showing refreshes it.
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)

public:
    struct Dependencies
    {
        ClipboardStore *store = nullptr; // required
        Clock *clock = nullptr; // required: the row feedback
        std::function<void(const ClipItem &)> copy; // puts a clip on the clipboard as it is
        std::function<void()> openMainApp;
        std::function<void()> openSettings;
        std::function<void()> checkForUpdates;
        std::function<void()> quit;
        std::function<void()> dismiss;
    };

    static constexpr int feedbackMs = 900;
    static constexpr int rowHeight = 40;
    static constexpr int maxListHeight = 320;
    static constexpr int minItems = 5;
    static constexpr int maxItems = 30;

    explicit MenuBarPopoverModel(Dependencies dependencies, QObject *parent = nullptr);
    ~MenuBarPopoverModel() override;

    [[nodiscard]] const QString &searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    [[nodiscard]] int selectedFilter() const { return int(m_filter); }
    void setSelectedFilter(int filter);
    [[nodiscard]] ClipType filter() const { return m_filter; }
    [[nodiscard]] const QString &feedbackClipId() const { return m_feedbackId; }
    [[nodiscard]] const QString &feedbackText() const { return m_feedbackText; }
    [[nodiscard]] const QString &actionsItemId() const { return m_actionsItemId; }
    void setActionsItemId(const QString &id);
    [[nodiscard]] QString headerTitle() const;
    [[nodiscard]] QString emptyMessage() const { return emptyMessage(m_searchText, m_filter); }
    [[nodiscard]] int itemLimit() const;
    [[nodiscard]] int listHeight() const;
    [[nodiscard]] bool isPaused() const;
    [[nodiscard]] QString pauseSymbol() const;
    [[nodiscard]] QString pauseHelp() const;
    [[nodiscard]] static QVariantList filterTabs();
    [[nodiscard]] MenuBarClipListModel *clips() const { return m_clips.get(); }
    [[nodiscard]] bool isShown() const { return m_shown; }
    void setShown(bool shown);

    // What the list shows, fresh from the store. In All, pinned clips are left out: they have a tab.
    [[nodiscard]] QList<ClipItem> displayedClips() const;
    [[nodiscard]] static int clampedItemLimit(int setting);
    [[nodiscard]] static QString emptyMessage(const QString &search, ClipType filter);
    // "Snippet", "Image", "Link", "Code", "File" or "Text".
    [[nodiscard]] static QString kindLabel(const ClipItem &item);
    // The tab icon of the clip's type; snippets have their own.
    [[nodiscard]] static QString typeSymbol(const ClipItem &item);

    // Before each showing: empty search, All, no feedback, no open menu, fresh ages.
    Q_INVOKABLE void reset();
    Q_INVOKABLE void copyClip(const QString &id);
    // The actions menu's entries; each also closes the menu.
    Q_INVOKABLE void togglePin(const QString &id);
    Q_INVOKABLE void deleteClip(const QString &id);
    // Opens the row's actions menu, closing any other, or closes it when it is the open one.
    Q_INVOKABLE void toggleActions(const QString &id);
    Q_INVOKABLE void closeActions();
    Q_INVOKABLE void togglePause();
    Q_INVOKABLE void openMainApp();
    Q_INVOKABLE void openSettings();
    Q_INVOKABLE void checkForUpdates();
    Q_INVOKABLE void quit();
    Q_INVOKABLE void dismiss();

Q_SIGNALS:
    void searchTextChanged();
    void selectedFilterChanged();
    void feedbackChanged();
    void actionsItemIdChanged();
    void emptyMessageChanged();
    void itemLimitChanged();
    void isPausedChanged();
    void shownChanged();

private:
    void refresh();
    void historyChanged();
    void setFeedback(const QString &id, const QString &text);
    [[nodiscard]] std::optional<ClipItem> clip(const QString &id) const;
    static void call(const std::function<void()> &action);

    Dependencies m_deps;
    std::unique_ptr<MenuBarClipListModel> m_clips;
    std::unique_ptr<Alarm> m_feedbackAlarm;
    QString m_searchText;
    ClipType m_filter = ClipType::All;
    QString m_feedbackId;
    QString m_feedbackText;
    QString m_actionsItemId;
    int m_itemLimit = 0;
    bool m_shown = true;
    bool m_stale = false;
};

} // namespace Vexilo
