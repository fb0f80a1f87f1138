// SPDX-License-Identifier: MIT
#include "OCRService.h"

#include "OpenMPThreadLimit.h"
#include "TextUtils.h"
#include "ThreadHandOff.h"

#include <QPainter>
#include <QPointer>
#include <QSemaphore>
#include <QThread>

#include <cstring>
#include <mutex>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

namespace Vexilo {

using ThreadHandOff::handOver;
using ThreadHandOff::takeOver;

namespace {

// Tesseract's RGB layout, on white where the image is transparent: a transparent screenshot region
// would otherwise turn black and swallow dark text.
QImage toEngineImage(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    QImage opaque(image.size(), QImage::Format_RGB888);
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, image);
    painter.end();
    return opaque;
}

// Below this many pixels a single engine is quick enough; splitting would only add overhead.
constexpr qint64 minimumSplitArea = 1000 * 700;
// Identical rows in a row: the gap between two text lines, which a cut cannot damage.
constexpr int minimumGapRows = 4;

// Where to cut an image in two bands for parallel recognition: the middle of the gap between text
// lines nearest to the image's middle, within its middle third. Nothing when there is no such gap
// (or a background that changes from row to row).
std::optional<int> bandSplitRow(const QImage &image)
{
    const int height = image.height();
    if (qint64(image.width()) * height < minimumSplitArea)
        return std::nullopt;
    const auto rowBytes = size_t(image.width()) * 3;
    const int low = height / 3;
    const int high = height - height / 3;
    std::optional<int> best;
    int runStart = low;
    for (int y = low + 1; y <= high; ++y) {
        const bool same = y < high && std::memcmp(image.constScanLine(y), image.constScanLine(y - 1), rowBytes) == 0;
        if (same)
            continue;
        if (y - runStart >= minimumGapRows) {
            const int middle = (runStart + y) / 2;
            if (!best || qAbs(middle - height / 2) < qAbs(*best - height / 2))
                best = middle;
        }
        runStart = y;
    }
    return best;
}

QString takeText(char *text)
{
    const QString result = QString::fromUtf8(text);
    delete[] text;
    return result;
}

// The token of the thread pool's queue for ThreadSanitizer: a job takes over before it reads what it
// captured.
char poolQueue = 0;

} // namespace

void OCRService::EngineDeleter::operator()(tesseract::TessBaseAPI *engine) const
{
    delete engine;
}

OCRService::OCRService(LogSink log, int maxConcurrent, QObject *parent)
    : QObject(parent)
    , m_log(std::move(log))
{
    // Each engine is single-threaded, so one recognition per core uses the machine fully.
    m_pool.setMaxThreadCount(maxConcurrent > 0 ? maxConcurrent : std::clamp(QThread::idealThreadCount(), 1, 4));
    m_releaseTimer.setSingleShot(true);
    m_releaseTimer.setInterval(60000);
    connect(&m_releaseTimer, &QTimer::timeout, this, &OCRService::releaseIdleEngines);
}

OCRService::~OCRService()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void OCRService::recognize(const QImage &image, QObject *context, Callback done)
{
    extractText(image, context, std::move(done));
}

void OCRService::extractText(const QImage &image, QObject *context, Callback done)
{
    // The pointer is only read on this object's thread, where the caller's context lives too.
    QPointer<QObject> guard(context);
    std::function<void()> job = [this, image, guard, done = std::move(done)]() mutable {
        takeOver(&poolQueue);
        Result result = performOCR(image);
        handOver(this);
        QMetaObject::invokeMethod(
            this,
            [this, guard, done = std::move(done), result = std::move(result)] {
                takeOver(this);
                m_releaseTimer.start();
                if (!result.error.isEmpty())
                    m_log(QStringLiteral("Failed to perform OCR request: ") + result.error);
                if (guard)
                    done(result.text);
            },
            Qt::QueuedConnection);
    };
    handOver(&poolQueue);
    m_pool.start(std::move(job));
}

std::optional<QString> OCRService::joinRecognizedLines(const QStringList &lines)
{
    const QString joined = lines.join(u'\n');
    const QStringView trimmed = TextUtils::trimmed(joined);
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed.toString();
}

OCRService::Result OCRService::performOCR(const QImage &image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    const QImage pixels = toEngineImage(image);
    if (pixels.isNull())
        return {};

    // A large image is cut between two text lines and the halves are recognised side by side, when
    // the pool has a thread to spare.
    if (const std::optional<int> cut = bandSplitRow(pixels)) {
        auto lower = std::make_shared<Lines>();
        auto lowerDone = std::make_shared<QSemaphore>();
        const QImage bottom = pixels.copy(0, *cut, pixels.width(), pixels.height() - *cut);
        std::function<void()> band = [this, bottom, lower, lowerDone] {
            takeOver(&poolQueue);
            *lower = recognizeLines(bottom);
            handOver(lower.get());
            lowerDone->release();
        };
        handOver(&poolQueue);
        if (m_pool.tryStart(std::move(band))) {
            Lines upper = recognizeLines(pixels.copy(0, 0, pixels.width(), *cut));
            lowerDone->acquire();
            takeOver(lower.get());
            if (!upper.error.isEmpty() || !lower->error.isEmpty())
                return {std::nullopt, upper.error.isEmpty() ? lower->error : upper.error};
            return {joinRecognizedLines(upper.lines + lower->lines), {}};
        }
    }
    Lines lines = recognizeLines(pixels);
    if (!lines.error.isEmpty())
        return {std::nullopt, lines.error};
    return {joinRecognizedLines(lines.lines), {}};
}

OCRService::Lines OCRService::recognizeLines(const QImage &pixels)
{
    Lines result;
    Engine engine = takeEngine(&result.error);
    if (!engine)
        return result;
    runWithSingleOpenMPThread([&] {
        engine->SetImage(pixels.constBits(), pixels.width(), pixels.height(), 3, int(pixels.bytesPerLine()));
        if (engine->Recognize(nullptr) != 0) {
            result.error = QStringLiteral("the recognition engine could not process the image");
            return;
        }
        // Text lines in reading order, like the regions of a platform recogniser.
        const std::unique_ptr<tesseract::ResultIterator> it(engine->GetIterator());
        if (!it)
            return;
        do {
            if (it->Empty(tesseract::RIL_TEXTLINE))
                continue;
            QString line = takeText(it->GetUTF8Text(tesseract::RIL_TEXTLINE));
            while (line.endsWith(u'\n') || line.endsWith(u'\r'))
                line.chop(1);
            result.lines.append(line);
        } while (it->Next(tesseract::RIL_TEXTLINE));
    });
    // Drops the image and the results so an idle engine holds only its model.
    engine->Clear();
    returnEngine(std::move(engine));
    return result;
}

OCRService::Engine OCRService::takeEngine(QString *error)
{
    {
        QMutexLocker lock(&m_enginesMutex);
        if (!m_idleEngines.empty()) {
            Engine engine = std::move(m_idleEngines.back());
            m_idleEngines.pop_back();
            return engine;
        }
    }
    // The engine's diagnostics (resolution estimates and the like) would clutter standard error. The
    // setting is process-wide, so it is written once, before any engine runs.
    static std::once_flag quietDiagnostics;
    Engine engine(new tesseract::TessBaseAPI);
    std::call_once(quietDiagnostics, [&] { engine->SetVariable("debug_file", "/dev/null"); });
    // Debian's English data is found in its default place.
    if (engine->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0) {
        *error = QStringLiteral("could not load the English recognition data");
        return nullptr;
    }
    // Automatic layout without script detection: screenshots have columns, menus and captions.
    engine->SetPageSegMode(tesseract::PSM_AUTO);
    return engine;
}

int OCRService::idleEngineCount() const
{
    QMutexLocker lock(&m_enginesMutex);
    return int(m_idleEngines.size());
}

void OCRService::releaseIdleEngines()
{
    // Engines still recognising are not in the list; they come back later and restart the timer.
    std::vector<Engine> released;
    QMutexLocker lock(&m_enginesMutex);
    released.swap(m_idleEngines);
}

void OCRService::returnEngine(Engine engine)
{
    QMutexLocker lock(&m_enginesMutex);
    m_idleEngines.push_back(std::move(engine));
}

} // namespace Vexilo
