// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace Vexilo {

// Recognises the text in an image off the main thread. The engine lives with the services.
class TextRecognizer
{
public:
    virtual ~TextRecognizer();
    // Calls done on the main thread with the text, or nothing when there is none; not at all once
    // context has been destroyed.
    virtual void recognize(const QImage &image, QObject *context, std::function<void(std::optional<QString>)> done) = 0;
};

} // namespace Vexilo
