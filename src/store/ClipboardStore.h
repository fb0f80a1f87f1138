// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "Clock.h"
#include "FeedbackSound.h"
#include "ListDensity.h"
#include "LogSink.h"
#include "SearchText.h"
#include "SourceApplication.h"
#include "StoragePaths.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <functional>
#include <memory>

namespace Vexilo {

class AppSettings;
class HistoryJournal;
class HistoryWriter;
class ThumbnailLoader;

// What the store needs from its surroundings; the application fills it with the real services,
// tests with temporary folders and fakes.
struct StoreEnvironment
{
    StoragePaths paths;
    AppSettings *settings = nullptr; // required
    // Plays a feedback sound; whoever plays it decides whether sounds are on. Optional: silent.
    std::function<void(FeedbackSound)> playSound;
    // Recognises the text of a new image off the main thread and calls back on it, with the text or
    // nothing, and not at all once context is gone. Optional: no automatic recognition.
    std::function<void(const QImage &, QObject *context, std::function<void(std::optional<QString>)>)> recognizeText;
    LogSink log = standardOutputLog();
    Clock *clock = nullptr; // the date of new clips, expiry and the undo window; defaults to the system clock
    std::function<qreal()> screenScale; // defaults to the primary screen, 2.0 without one
    // The text a clip's QR code carries (for an image clip this starts sharing it); empty when there
    // is nothing to share. Without it, no clip can be shown as a QR code.
    std::function<QString(const ClipItem &)> qrPayload;
    // Ends sharing through the local image server.
    std::function<void()> stopSharing;
    int saveDebounceMs = 100;
    int searchDebounceMs = 150;
    int undoWindowMs = 5000;
};

// What a capture did, for callers that report it (the command-line client).
enum class CaptureOutcome : quint8 { Recorded, Paused, Blank, Duplicate, Failed, Unavailable };

struct CaptureResult
{
    CaptureOutcome outcome = CaptureOutcome::Failed;
    QUuid id; // the new clip, when recorded
    [[nodiscard]] bool recorded() const { return outcome == CaptureOutcome::Recorded; }
};

// The one owner of the clipboard history: the clips, the filter and selection state derived from
// them, the settings, and the files on disk. Main thread only; every change ends in a debounced save
// that a background thread writes.
class ClipboardStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(
        int selectedCategory READ selectedCategoryIndex WRITE setSelectedCategoryIndex NOTIFY selectedCategoryChanged)
    Q_PROPERTY(QString searchQuery READ searchQuery WRITE setSearchQuery NOTIFY searchQueryChanged)
    Q_PROPERTY(bool isPaused READ isPaused WRITE setPaused NOTIFY isPausedChanged)
    Q_PROPERTY(int storedItemCount READ storedItemCount NOTIFY itemsChanged)
    Q_PROPERTY(QString historyProblem READ historyProblem CONSTANT)
    Q_PROPERTY(int searchFocusRequest READ searchFocusRequest NOTIFY searchFocusRequestChanged)
    Q_PROPERTY(int searchResignRequest READ searchResignRequest NOTIFY searchResignRequestChanged)
    Q_PROPERTY(int inspectorToggleRequest READ inspectorToggleRequest NOTIFY inspectorToggleRequestChanged)
    Q_PROPERTY(bool isSearchFieldFocused READ isSearchFieldFocused WRITE setSearchFieldFocused NOTIFY
                   isSearchFieldFocusedChanged)
    Q_PROPERTY(bool shouldOpenNewSnippet READ shouldOpenNewSnippet WRITE setShouldOpenNewSnippet NOTIFY
                   shouldOpenNewSnippetChanged)
    Q_PROPERTY(int maxHistoryLimit READ maxHistoryLimit WRITE setMaxHistoryLimit NOTIFY settingsChanged)
    Q_PROPERTY(int autoClearDays READ autoClearDays WRITE setAutoClearDays NOTIFY settingsChanged)
    Q_PROPERTY(bool playSounds READ playSounds WRITE setPlaySounds NOTIFY settingsChanged)
    Q_PROPERTY(bool autoPasteOnSelect READ autoPasteOnSelect WRITE setAutoPasteOnSelect NOTIFY settingsChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY settingsChanged)
    Q_PROPERTY(bool autoExtractOCR READ autoExtractOCR WRITE setAutoExtractOCR NOTIFY settingsChanged)
    Q_PROPERTY(int maxVisibleTabs READ maxVisibleTabs WRITE setMaxVisibleTabs NOTIFY settingsChanged)
    Q_PROPERTY(int menuBarPopoverItemCount READ menuBarPopoverItemCount WRITE setMenuBarPopoverItemCount NOTIFY
                   settingsChanged)
    Q_PROPERTY(QString listDensityRaw READ listDensityRaw WRITE setListDensityRaw NOTIFY settingsChanged)
    Q_PROPERTY(bool snippetExpansionEnabled READ snippetExpansionEnabled WRITE setSnippetExpansionEnabled NOTIFY
                   settingsChanged)

public:
    // Runs the start-up sequence: migration, folders, load, expiry, default snippets, search debounce
    // and the first filter run.
    explicit ClipboardStore(StoreEnvironment environment, QObject *parent = nullptr);
    ~ClipboardStore() override;

    // --- the history
    [[nodiscard]] const QList<ClipItem> &items() const { return m_items; }
    [[nodiscard]] std::optional<ClipItem> item(const QUuid &id) const;
    [[nodiscard]] int storedItemCount() const { return int(m_items.size()); }
    // Why the history file that exists cannot be read ("<path>: <reason>"), empty when all is well.
    // Such a history is never written over: the store then records nothing and saves nothing.
    [[nodiscard]] const QString &historyProblem() const { return m_historyProblem; }

    // --- query state
    [[nodiscard]] ClipType selectedCategory() const { return m_selectedCategory; }
    void setSelectedCategory(ClipType category);
    [[nodiscard]] int selectedCategoryIndex() const { return int(m_selectedCategory); }
    void setSelectedCategoryIndex(int index);
    [[nodiscard]] const std::optional<QString> &selectedTag() const { return m_selectedTag; }
    void setSelectedTag(const std::optional<QString> &tag);
    [[nodiscard]] QString searchQuery() const { return m_searchQuery; }
    void setSearchQuery(const QString &query);
    [[nodiscard]] const QList<ClipItem> &filteredItems() const { return m_filteredItems; }
    [[nodiscard]] const std::optional<ClipItem> &selectedItem() const { return m_selectedItem; }
    void setSelectedItem(const std::optional<ClipItem> &item);
    [[nodiscard]] const QHash<ClipType, int> &categoryCounts() const { return m_categoryCounts; }
    [[nodiscard]] const QHash<QString, int> &tagCounts() const { return m_tagCounts; }

    void recalculateFilteredItems();
    // Runs a search still waiting for its typing delay now.
    void flushPendingSearch();
    void syncSelectedItemWithFilter();
    [[nodiscard]] QList<ClipItem> items(const QString &matching, ClipType category, int limit,
                                        bool excludePinned) const;
    // The list a filter of category, tag and search text gives, without touching the published state.
    [[nodiscard]] QList<ClipItem> filteredList(ClipType category, const std::optional<QString> &tag,
                                               const QString &search) const;
    [[nodiscard]] int count(ClipType category) const;
    [[nodiscard]] int tagCount(const QString &tag) const;
    [[nodiscard]] QStringList allTags() const;
    [[nodiscard]] int pinnedClipCount() const;
    [[nodiscard]] static QString normalizeTag(QStringView tag);
    [[nodiscard]] static QStringList parseTags(QStringView input);

    // --- capture
    CaptureResult addTextItem(const QString &text, const std::optional<SourceApplication> &sourceApp = {});
    CaptureResult addImageItem(const QImage &image, const std::optional<SourceApplication> &sourceApp = {});
    CaptureResult addFilesItem(const QStringList &paths, const std::optional<SourceApplication> &sourceApp = {});
    void updateExtractedText(const QString &text, const QUuid &itemId);

    // --- editing
    void togglePin(const ClipItem &item);
    void addTag(const QString &tag, const ClipItem &item);
    void removeTag(const QString &tag, const ClipItem &item);
    void deleteItem(const ClipItem &item, bool allowUndo);
    void undoLastDelete();
    void dismissUndoDelete();
    void clearHistory(bool preservePinned);
    [[nodiscard]] const std::optional<ClipItem> &undoDeleteItem() const { return m_undoDeleteItem; }

    // --- snippets
    [[nodiscard]] QList<ClipItem> snippets() const;
    QUuid createSnippet(const QString &title, const QString &content, const std::optional<QString> &shortcut,
                        const QStringList &tags);
    void updateSnippet(const ClipItem &snippet);

    // --- export; each returns the path written, or nothing after logging "Export failed: ..."
    std::optional<QString> exportAsJSON(const QString &path);
    std::optional<QString> exportAsMarkdown(const QString &path);

    // --- image files
    [[nodiscard]] QString imagesDirectory() const { return m_paths.imagesDirectory(); }
    // Empty for a name that is not a bare file name: such an image counts as missing.
    [[nodiscard]] QString imageURL(const QString &fileName) const;
    [[nodiscard]] QImage loadImage(const QString &fileName) const;
    void loadThumbnail(const QString &fileName, double size, QObject *receiver,
                       std::function<void(const QImage &)> callback);
    [[nodiscard]] ThumbnailLoader &thumbnails() { return *m_thumbnails; }

    // --- persistence
    void saveHistorySynchronously();
    [[nodiscard]] const StoragePaths &paths() const { return m_paths; }
    [[nodiscard]] HistoryWriter &writer() { return *m_writer; }
    [[nodiscard]] HistoryJournal &journal() { return *m_journal; }

    // --- state published for views and services
    [[nodiscard]] bool isPaused() const { return m_isPaused; }
    void setPaused(bool paused);
    [[nodiscard]] const QSet<QString> &ignoredAppBundleIds() const { return m_ignoredAppBundleIds; }
    void setIgnoredAppBundleIds(const QSet<QString> &ids);
    [[nodiscard]] const std::optional<ClipItem> &activeQRCodeItem() const { return m_activeQRCodeItem; }
    // Opens the QR sheet for the clip; false, changing nothing, when it has nothing to share.
    bool presentQR(const ClipItem &item);
    void dismissQR();
    [[nodiscard]] bool shouldOpenNewSnippet() const { return m_shouldOpenNewSnippet; }
    void setShouldOpenNewSnippet(bool value);
    [[nodiscard]] int searchFocusRequest() const { return m_searchFocusRequest; }
    [[nodiscard]] int searchResignRequest() const { return m_searchResignRequest; }
    [[nodiscard]] int inspectorToggleRequest() const { return m_inspectorToggleRequest; }
    [[nodiscard]] bool isSearchFieldFocused() const { return m_isSearchFieldFocused; }
    void setSearchFieldFocused(bool focused);
    void requestSearchFocus();
    void resignSearchFocus();
    void requestInspectorToggle();

    // --- settings, views onto AppSettings
    [[nodiscard]] int maxHistoryLimit() const;
    void setMaxHistoryLimit(int value);
    [[nodiscard]] int autoClearDays() const;
    void setAutoClearDays(int value);
    [[nodiscard]] bool playSounds() const;
    void setPlaySounds(bool value);
    [[nodiscard]] bool autoPasteOnSelect() const;
    void setAutoPasteOnSelect(bool value);
    [[nodiscard]] bool launchAtLogin() const;
    void setLaunchAtLogin(bool value);
    [[nodiscard]] bool autoExtractOCR() const;
    void setAutoExtractOCR(bool value);
    [[nodiscard]] int maxVisibleTabs() const;
    void setMaxVisibleTabs(int value);
    [[nodiscard]] int menuBarPopoverItemCount() const;
    void setMenuBarPopoverItemCount(int value);
    [[nodiscard]] QString listDensityRaw() const;
    void setListDensityRaw(const QString &value);
    [[nodiscard]] ListDensity listDensity() const;
    void setListDensity(ListDensity density);
    [[nodiscard]] bool snippetExpansionEnabled() const;
    void setSnippetExpansionEnabled(bool value);
    [[nodiscard]] AppSettings *settings() const { return m_env.settings; }

Q_SIGNALS:
    void itemsChanged();
    void filteredItemsChanged();
    void selectedItemChanged();
    void selectedCategoryChanged();
    void selectedTagChanged();
    void searchQueryChanged();
    void countsChanged();
    void isPausedChanged();
    void ignoredAppBundleIdsChanged();
    void activeQRCodeItemChanged();
    void undoDeleteItemChanged();
    void shouldOpenNewSnippetChanged();
    void searchFocusRequestChanged();
    void searchResignRequestChanged();
    void inspectorToggleRequestChanged();
    void isSearchFieldFocusedChanged();
    void settingsChanged();

private:
    void setItems(QList<ClipItem> items);
    // After a save: clips left in mostly freed memory (after a large clear) move out of it, so that
    // it can go back to the system.
    void compactMemory();
    // After changing m_items in place: announce it and re-run the filter.
    void publishItems();
    // After putting one clip at the top of m_items: the same, updating the cached list instead of
    // rebuilding it, which keeps a capture cheap in a large history.
    void publishPrepended(const ClipItem &clip);
    void ensureCountsAndMembers();
    [[nodiscard]] int indexOf(const QUuid &id) const;
    void refreshSelection(int index);
    [[nodiscard]] std::optional<CaptureResult> refusedCapture() const;
    void recordClip(const ClipItem &clip);
    void saveHistory();
    void loadHistory();
    void refuseHistory(const QString &reason);
    // What the journal keeps of each change until the next write of the history file.
    void journalAdded(const ClipItem &clip);
    void journalUpdated(int index);
    void journalRemoved(const QList<ClipItem> &removed);
    void createDirectoriesIfNeeded();
    void enforceLimit();
    void cleanExpiredItems();
    void seedDefaultSnippetsIfNeeded();
    void setupDebouncedSearch();
    void scheduleUndoExpiry();
    void commitPendingUndoDeletion();
    void deleteImageFile(const QString &fileName);
    void deleteImageFiles(const QList<ClipItem> &removed);
    void startRecognition(const QImage &image, const QUuid &id);
    [[nodiscard]] QList<ClipItem> candidates(ClipType category, const std::optional<QString> &tag) const;
    [[nodiscard]] double now() const;
    void log(const QString &line) const;
    void playSound(FeedbackSound sound) const;

    StoreEnvironment m_env;
    StoragePaths m_paths;
    QString m_historyProblem;

    QList<ClipItem> m_items;
    quint64 m_itemsRevision = 0;
    std::optional<ClipItem> m_selectedItem;
    ClipType m_selectedCategory = ClipType::All;
    std::optional<QString> m_selectedTag;
    QString m_searchQuery;
    QList<ClipItem> m_filteredItems;
    QHash<ClipType, int> m_categoryCounts;
    QHash<QString, int> m_tagCounts;
    bool m_isPaused = false;
    std::optional<ClipItem> m_activeQRCodeItem;
    bool m_shouldOpenNewSnippet = false;
    int m_searchFocusRequest = 0;
    int m_searchResignRequest = 0;
    bool m_isSearchFieldFocused = false;
    int m_inspectorToggleRequest = 0;
    std::optional<ClipItem> m_undoDeleteItem;
    std::optional<QString> m_pendingUndoImageFilename;
    QSet<QString> m_ignoredAppBundleIds;

    // A search that extends the previous one only needs to look at the previous matches.
    struct LastSearch
    {
        SearchQuery query;
        ClipType category = ClipType::All;
        std::optional<QString> tag;
        quint64 itemsRevision = 0;
        QList<ClipItem> matches;
    };
    std::optional<LastSearch> m_lastSearch;

    // The clips of the selected category and tag in list order, and the counts, as of a revision of
    // the history. Searching and switching filters reuse them instead of walking the whole history.
    struct Members
    {
        quint64 itemsRevision = 0;
        ClipType category = ClipType::All;
        std::optional<QString> tag;
        QList<ClipItem> list;
    };
    std::optional<Members> m_members;
    quint64 m_seenArenaReleases = 0;
    std::optional<quint64> m_countsRevision;

    QTimer m_saveTimer;
    QTimer m_searchTimer;
    std::unique_ptr<SystemClock> m_systemClock;
    std::unique_ptr<Alarm> m_undoAlarm;
    std::unique_ptr<HistoryJournal> m_journal;
    std::unique_ptr<HistoryWriter> m_writer;
    std::unique_ptr<ThumbnailLoader> m_thumbnails;
};

} // namespace Vexilo
