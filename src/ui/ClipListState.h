// SPDX-License-Identifier: MIT
#pragma once

#include "ClipType.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace Vexilo {

class ClipboardStore;

// The texts around the history list: the result counter shown while a filter is active and the
// empty state.
class ClipListState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    Q_PROPERTY(bool isFiltering READ isFiltering NOTIFY changed)
    Q_PROPERTY(bool isEmpty READ isEmpty NOTIFY changed)
    Q_PROPERTY(int resultCount READ resultCount NOTIFY changed)
    Q_PROPERTY(QString resultCountText READ resultCountText NOTIFY changed)
    Q_PROPERTY(QString emptyIcon READ emptyIcon NOTIFY changed)
    Q_PROPERTY(QString emptyTitle READ emptyTitle NOTIFY changed)
    Q_PROPERTY(QString emptySubtitle READ emptySubtitle NOTIFY changed)

public:
    // What the texts depend on.
    struct Inputs
    {
        bool historyEmpty = true; // no clips apart from snippets
        ClipType category = ClipType::All;
        std::optional<QString> tag;
        QString search;
        int resultCount = 0;
        friend bool operator==(const Inputs &, const Inputs &) = default;
    };

    explicit ClipListState(ClipboardStore &store, QObject *parent = nullptr);

    [[nodiscard]] bool isFiltering() const;
    [[nodiscard]] bool isEmpty() const { return m_inputs.resultCount == 0; }
    [[nodiscard]] int resultCount() const { return m_inputs.resultCount; }
    [[nodiscard]] QString resultCountText() const;
    [[nodiscard]] QString emptyIcon() const;
    [[nodiscard]] QString emptyTitle() const;
    [[nodiscard]] QString emptySubtitle() const;

    [[nodiscard]] const Inputs &inputs() const { return m_inputs; }
    void setInputs(const Inputs &inputs);

Q_SIGNALS:
    void changed();

private:
    void follow();

    ClipboardStore &m_store;
    Inputs m_inputs;
};

} // namespace Vexilo
