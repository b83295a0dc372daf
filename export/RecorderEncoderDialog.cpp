#include "export/RecorderEncoderDialog.h"

#include "export/CommandLineRenderer.h"
#include "export/EncoderRun.h"
#include "storage/SavedClip.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr int kMonitorMs = 1000;
constexpr int kStartWaitMs = 30000;
// A user scrolled further up than this is not pulled down by new output.
constexpr int kFollowDistance = 200;

} // namespace

RecorderEncoderDialog::RecorderEncoderDialog(QSharedPointer<SavedClip> clip, const QString& ffmpegArguments,
                                             const QString& outputFile, const EncoderPrograms& programs,
                                             QWidget* parent)
    : QDialog(parent), clip_(std::move(clip)), outputFile_(outputFile), programs_(programs),
      rendererErrors_(QDir::tempPath() + QStringLiteral("/kvx_vlmv_render_stderr_XXXXXX.txt"))
{
    const QString folder = QDir::toNativeSeparators(clip_->folderPath());
    rendererArguments_ = encoderrun::rendererArguments(clip_->folderPath(), clip_->lowerTrim(), clip_->upperTrim());
    ffmpegArguments_ = encoderrun::ffmpegArguments(ffmpegArguments, outputFile);
    framesExpected_ = kvx::exportRange(qint64(clip_->totalFrames), clip_->lowerTrim(), clip_->upperTrim()).count();
    buildForm(tr("Encoding ") + folder + QStringLiteral("\nFFMPEG ") + ffmpegArguments + QLatin1Char(' ')
              + QDir::toNativeSeparators(outputFile));
    qDebug().noquote() << QStringLiteral("render arguments: %1").arg(rendererArguments_.join(QLatin1Char('|')));
    qDebug().noquote() << QStringLiteral("ffmpeg arguments: %1").arg(ffmpegArguments_.join(QLatin1Char('|')));

    monitorTimer_.setSingleShot(true);
    monitorTimer_.setInterval(kMonitorMs);
    connect(&monitorTimer_, &QTimer::timeout, this, &RecorderEncoderDialog::monitor);
    // The end is seen at once, not only at the next poll.
    connect(&ffmpeg_, &QProcess::finished, this, &RecorderEncoderDialog::monitor, Qt::QueuedConnection);
    connect(&renderer_, &QProcess::finished, this, &RecorderEncoderDialog::monitor, Qt::QueuedConnection);
    connect(this, &QDialog::finished, this, [this] {
        monitorTimer_.stop();
        stopProcesses();
        deleteLater();
    });
}

RecorderEncoderDialog::~RecorderEncoderDialog()
{
    stopProcesses();
}

void RecorderEncoderDialog::buildForm(const QString& command)
{
    setWindowTitle(tr("Conversion to movie"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    commandLabel_ = new QLabel(command);
    commandLabel_->setWordWrap(true);
    progressLabel_ = new QLabel;
    progressLabel_->setObjectName(QStringLiteral("progressLabel"));
    output_ = new QTextBrowser;
    output_->setObjectName(QStringLiteral("consoleView"));
    output_->setOpenLinks(false);
    connect(output_, &QTextBrowser::anchorClicked, this, [](const QUrl& url) { QDesktopServices::openUrl(url); });
    abortButton_ = new QPushButton(tr("Abort"));
    abortButton_->setObjectName(QStringLiteral("abortButton"));
    okButton_ = new QPushButton(tr("OK"));
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->hide();
    connect(abortButton_, &QPushButton::clicked, this, &RecorderEncoderDialog::abort);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(abortButton_);
    buttons->addWidget(okButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(commandLabel_);
    layout->addWidget(progressLabel_);
    layout->addWidget(output_, 1);
    layout->addLayout(buttons);
    resize(720, 420);
}

bool RecorderEncoderDialog::start()
{
    // Each run its own file, so that two exports never write into one.
    if (!rendererErrors_.open()) {
        startError_ = tr("Failed to start renderer");
        return false;
    }
    rendererErrors_.close();
    renderer_.setStandardErrorFile(rendererErrors_.fileName(), QIODevice::Truncate);
    renderer_.setStandardOutputProcess(&ffmpeg_);
    ffmpeg_.setProcessChannelMode(QProcess::MergedChannels);

    renderer_.start(programs_.renderer, rendererArguments_, QIODevice::ReadWrite);
    if (!programs_.ffmpeg.isEmpty())
        ffmpeg_.start(programs_.ffmpeg, ffmpegArguments_, QIODevice::ReadWrite);
    const bool rendererStarted = renderer_.waitForStarted(kStartWaitMs);
    const bool ffmpegStarted = !programs_.ffmpeg.isEmpty() && ffmpeg_.waitForStarted(kStartWaitMs);
    if (!rendererStarted || !ffmpegStarted) {
        stopProcesses();
        startError_ =
            !ffmpegStarted ? tr("FFMPEG not found. Failed to start FFMPEG program.") : tr("Failed to start renderer");
        return false;
    }
    elapsed_.start();
    progressLabel_->setText(encoderrun::progressText(0, framesExpected_, 0.0));
    monitorTimer_.start();
    show();
    raise();
    return true;
}

void RecorderEncoderDialog::monitor()
{
    if (ended_)
        return;
    // Whether both had ended before the read, so that the read holds FFmpeg's last words.
    const bool bothEnded = renderer_.state() == QProcess::NotRunning && ffmpeg_.state() == QProcess::NotRunning;
    const QString text = QString::fromLocal8Bit(ffmpeg_.readAll());
    console_ += text;
    appendConsole(text);
    const qint64 done = encoderrun::framesDone(console_);
    progressLabel_->setText(encoderrun::progressText(done, framesExpected_, elapsed_.elapsed() / 1000.0));
    if (bothEnded)
        finish(false);
    else
        monitorTimer_.start();
}

void RecorderEncoderDialog::abort()
{
    if (ended_)
        return;
    stopProcesses();
    console_ += QString::fromLocal8Bit(ffmpeg_.readAll());
    finish(true);
}

void RecorderEncoderDialog::finish(bool aborted)
{
    ended_ = true;
    monitorTimer_.stop();
    const auto clean = [](const QProcess& p) { return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0; };
    encoderrun::Outcome outcome;
    outcome.aborted = aborted;
    outcome.rendererExitedCleanly = clean(renderer_);
    outcome.ffmpegExitedCleanly = clean(ffmpeg_);
    outcome.framesExpected = framesExpected_;
    outcome.framesDone = encoderrun::framesDone(console_);
    outcome.ffmpegConsole = console_;
    outcome.outputWriteFailed = encoderrun::outputWriteFailed(console_);
    if (QFile errors(rendererErrors_.fileName()); errors.open(QIODevice::ReadOnly))
        outcome.rendererErrors = QString::fromLocal8Bit(errors.readAll());
    outcome.outputFile = outputFile_;
    outcome.outputLeft = encoderrun::outputExists(outputFile_);
    const bool success = encoderrun::succeeded(outcome);

    QTextCursor cursor = output_->textCursor();
    cursor.movePosition(QTextCursor::End);
    output_->setTextCursor(cursor);
    // The verdict also stays above the console, where a long console cannot push it away.
    const QString verdict =
        success ? tr("Video successfully encoded.") : encoderrun::failureText(outcome).section(QLatin1Char('\n'), 0, 0);
    progressLabel_->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(success ? "#00CC00" : "#E05050"));
    progressLabel_->setWordWrap(true);
    progressLabel_->setText(progressLabel_->text() + QLatin1Char('\n') + verdict);
    if (success) {
        output_->insertHtml(
            QStringLiteral("<U><FONT COLOR='#00CC00' size='4'>%1</U><br><br>").arg(tr("Video successfully encoded.")));
    } else {
        output_->insertHtml(QStringLiteral("<br><FONT COLOR='#E05050' size='4'>%1</FONT><br><br>")
                                .arg(encoderrun::failureText(outcome).toHtmlEscaped().replace(QLatin1Char('\n'),
                                                                                              QLatin1String("<br>"))));
    }
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
    abortButton_->hide();
    okButton_->show();
    emit encodingEnded(success);
}

void RecorderEncoderDialog::appendConsole(const QString& text)
{
    if (text.isEmpty())
        return;
    QScrollBar* bar = output_->verticalScrollBar();
    const bool follow = bar->maximum() - bar->value() <= kFollowDistance;
    QTextCursor cursor = output_->textCursor();
    cursor.movePosition(QTextCursor::End);
    output_->setTextCursor(cursor);
    output_->insertPlainText(text);
    if (follow)
        bar->setValue(bar->maximum());
}

void RecorderEncoderDialog::stopProcesses()
{
    for (QProcess* process : {&renderer_, &ffmpeg_}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->kill();
        process->waitForFinished(kStartWaitMs);
    }
}
