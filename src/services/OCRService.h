// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"
#include "TextRecognizer.h"

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

namespace Vexilo {

// Turns images into plain text with Tesseract (LSTM engine, English), off the main thread. Several
// recognitions run at once, each with an engine of its own; engines are kept for reuse because
// loading one takes longer than recognising a short text.
class OCRService
    : public QObject
    , public TextRecognizer
{
    Q_OBJECT

public:
    using Callback = std::function<void(std::optional<QString>)>;

    // maxConcurrent: recognitions running at once, each on its own thread; 0 for one per core (at
    // most 4).
    explicit OCRService(LogSink log = standardOutputLog(), int maxConcurrent = 0, QObject *parent = nullptr);
    // Waits for the recognitions already running; queued ones are dropped without a callback.
    ~OCRService() override;

    // Returns at once. Calls done on this object's thread with the recognised lines joined by line
    // feeds and trimmed, or nothing when the image is empty, has no text, or recognition failed. Never
    // calls done once context has been destroyed.
    void extractText(const QImage &image, QObject *context, Callback done);
    void recognize(const QImage &image, QObject *context, Callback done) override;

    // One recognised region per line; nothing when the result is blank.
    [[nodiscard]] static std::optional<QString> joinRecognizedLines(const QStringList &lines);

    // Engines left idle this long are freed (each holds tens of megabytes); the next recognition loads
    // one again.
    void setEngineIdleTimeout(int msecs) { m_releaseTimer.setInterval(msecs); }
    [[nodiscard]] int idleEngineCount() const;

private:
    struct Result
    {
        std::optional<QString> text;
        QString error;
    };
    struct EngineDeleter
    {
        void operator()(tesseract::TessBaseAPI *engine) const;
    };
    using Engine = std::unique_ptr<tesseract::TessBaseAPI, EngineDeleter>;

    struct Lines
    {
        QStringList lines;
        QString error;
    };

    [[nodiscard]] Result performOCR(const QImage &image);
    [[nodiscard]] Lines recognizeLines(const QImage &pixels);
    [[nodiscard]] Engine takeEngine(QString *error);
    void returnEngine(Engine engine);

    void releaseIdleEngines();

    LogSink m_log;
    QThreadPool m_pool;
    QTimer m_releaseTimer;
    mutable QMutex m_enginesMutex;
    std::vector<Engine> m_idleEngines;
};

} // namespace Vexilo
