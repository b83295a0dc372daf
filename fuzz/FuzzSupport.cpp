#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <memory>

namespace fuzz {

quint8 Pieces::byte()
{
    if (rest_.isEmpty())
        return 0;
    const auto value = quint8(rest_.front());
    rest_ = rest_.sliced(1);
    return value;
}

std::vector<char> Pieces::next()
{
    qsizetype length = rest_.size();
    if (rest_.size() >= 2) {
        length = std::min<qsizetype>(qFromLittleEndian<quint16>(rest_.data()), rest_.size() - 2);
        rest_ = rest_.sliced(2);
    }
    std::vector<char> piece(rest_.begin(), rest_.begin() + length);
    rest_ = rest_.sliced(length);
    return piece;
}

QString writeScratchFile(QByteArrayView content)
{
    // In memory where there is a tmpfs: the readers then cost more than the writing.
    static QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                    ? QStringLiteral("/dev/shm/vlm-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/vlm-fuzz-XXXXXX"));
    static const QString path = folder.filePath(QStringLiteral("input"));
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    require(file.write(content.data(), content.size()) == content.size());
    return path;
}

} // namespace fuzz

namespace {

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{}

} // namespace

// Every harness runs with an application object (timers, translations) and without Qt's log
// lines: the parsers log each refusal, and printing them would dominate the run.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static auto app = std::make_unique<QCoreApplication>(*argc, *argv);
    qInstallMessageHandler(dropMessage);
    return 0;
}
