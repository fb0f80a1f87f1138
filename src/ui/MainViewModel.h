// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <functional>

namespace Vexilo {

class AppSettings;
class ClipboardStore;

// The main window's own state and rules: the persisted pane settings, the category tabs with their
// counts, the tag filter, the split widths and the status texts. The store stays the source of truth
// for the history and its filter.
class MainViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    Q_PROPERTY(
        bool isDetailPaneVisible READ isDetailPaneVisible WRITE setDetailPaneVisible NOTIFY isDetailPaneVisibleChanged)
    Q_PROPERTY(double leftPanelWidth READ leftPanelWidth WRITE setLeftPanelWidth NOTIFY leftPanelWidthChanged)
    Q_PROPERTY(QVariantList tabs READ tabs NOTIFY tabsChanged)
    Q_PROPERTY(QVariantList tagFilters READ tagFilters NOTIFY tagFiltersChanged)
    Q_PROPERTY(QString selectedTag READ selectedTag NOTIFY selectedTagChanged)
    Q_PROPERTY(QString tagButtonHelp READ tagButtonHelp NOTIFY selectedTagChanged)
    Q_PROPERTY(QString itemCountText READ itemCountText NOTIFY itemCountTextChanged)
    Q_PROPERTY(QString recordingHelp READ recordingHelp NOTIFY pausedChanged)
    Q_PROPERTY(bool isPaused READ isPaused NOTIFY pausedChanged)
    Q_PROPERTY(bool isSnippetsSelected READ isSnippetsSelected NOTIFY categoryChanged)
    Q_PROPERTY(QVariantList shortcutHints READ shortcutHints CONSTANT)
    Q_PROPERTY(bool hasUndoDelete READ hasUndoDelete NOTIFY undoDeleteChanged)
    Q_PROPERTY(bool hasActiveQR READ hasActiveQR NOTIFY activeQRChanged)

public:
    MainViewModel(ClipboardStore &store, AppSettings &settings, QObject *parent = nullptr);

    static constexpr double minimumListWidth = 180;
    static constexpr double minimumDetailWidth = 260;

    [[nodiscard]] bool isDetailPaneVisible() const;
    void setDetailPaneVisible(bool visible);
    [[nodiscard]] double leftPanelWidth() const;
    void setLeftPanelWidth(double width);

    // The split for a content width: the largest list width the divider allows, the list width shown
    // (the stored width within the limits) and the detail pane's width.
    Q_INVOKABLE [[nodiscard]] double maximumListWidth(double contentWidth) const;
    Q_INVOKABLE [[nodiscard]] double listWidth(double contentWidth) const;
    Q_INVOKABLE [[nodiscard]] double detailWidth(double contentWidth) const;

    // {id, title, icon, badgeCount} for the eight categories, in tab order.
    [[nodiscard]] QVariantList tabs() const;
    // {tag, title "#tag (n)", active} for every tag of the history.
    [[nodiscard]] QVariantList tagFilters() const;
    [[nodiscard]] QString selectedTag() const;
    [[nodiscard]] QString tagButtonHelp() const;
    [[nodiscard]] QString itemCountText() const;
    [[nodiscard]] QString recordingHelp() const;
    [[nodiscard]] bool isPaused() const;
    [[nodiscard]] bool isSnippetsSelected() const;
    // {key, label} pairs of the status bar.
    [[nodiscard]] static QVariantList shortcutHints();
    [[nodiscard]] bool hasUndoDelete() const;
    [[nodiscard]] bool hasActiveQR() const;

    Q_INVOKABLE void selectCategory(int category);
    // Sets the tag filter, or clears it when the tag is the active one.
    Q_INVOKABLE void toggleTagFilter(const QString &tag);
    Q_INVOKABLE void clearTagFilter();
    Q_INVOKABLE void togglePaused();
    Q_INVOKABLE void undoDelete();
    Q_INVOKABLE void commitDelete();
    Q_INVOKABLE void dismissQR();

Q_SIGNALS:
    void isDetailPaneVisibleChanged();
    void leftPanelWidthChanged();
    void tabsChanged();
    void tagFiltersChanged();
    void selectedTagChanged();
    void itemCountTextChanged();
    void pausedChanged();
    void categoryChanged();
    void undoDeleteChanged();
    void activeQRChanged();

private:
    ClipboardStore &m_store;
    AppSettings &m_settings;
};

} // namespace Vexilo
