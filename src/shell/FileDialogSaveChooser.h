// SPDX-License-Identifier: MIT
#pragma once

#include "SaveFileChooser.h"

#include <QPointer>
#include <functional>

class QFileDialog;
class QWindow;

namespace Vexilo {

// The desktop's save dialog: the XDG portal's chooser where the platform theme uses it, Qt's own
// otherwise. Application-modal; one at a time.
class FileDialogSaveChooser : public SaveFileChooser
{
public:
    explicit FileDialogSaveChooser(std::function<void(QWindow &)> activate);
    ~FileDialogSaveChooser() override;

    void chooseSaveLocation(const SaveRequest &request, Answer answer) override;

private:
    std::function<void(QWindow &)> m_activate;
    QPointer<QFileDialog> m_dialog;
};

} // namespace Vexilo
