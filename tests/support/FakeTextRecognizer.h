// SPDX-License-Identifier: MIT
#pragma once

#include "TextRecognizer.h"

#include <QList>
#include <QPointer>

namespace Vexilo::Test {

// Holds each recognition until the test finishes it, so tests decide when and with what it ends.
class FakeTextRecognizer : public TextRecognizer
{
public:
    struct Request
    {
        QImage image;
        QPointer<QObject> context;
        std::function<void(std::optional<QString>)> done;
    };

    void recognize(const QImage &image, QObject *context, std::function<void(std::optional<QString>)> done) override
    {
        m_requests.append({image, context, std::move(done)});
    }

    [[nodiscard]] int pendingCount() const { return int(m_requests.size()); }
    [[nodiscard]] const QImage &image(int index) const { return m_requests.at(index).image; }
    // Completes request `index` as a real engine would: only while its context still exists.
    void finish(int index, std::optional<QString> text)
    {
        Request request = m_requests.takeAt(index);
        if (request.context)
            request.done(std::move(text));
    }

private:
    QList<Request> m_requests;
};

} // namespace Vexilo::Test
