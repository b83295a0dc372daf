#include "export/ImgExportDlg.h"

#include "export/ExportFormats.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

const QString kLinkStyle = QStringLiteral("QLabel { color: #3d8ec9; }");

} // namespace

ImgExportDlg::ImgExportDlg(const QSize& pictureSize, int fileType, int fps, int codecIndex, const QString& outputFolder,
                           const QString& prefix, const QString& clipFolder, QWidget* parent)
    : QDialog(parent), picture_(pictureSize), fileType_(exportfmt::isValidType(fileType) ? fileType : exportfmt::Tiff),
      fps_(fps), codecIndex_(codecIndex), outputFolder_(outputFolder), prefix_(prefix)
{
    buildForm(clipFolder);
    for (int type = exportfmt::kFirstType; type <= exportfmt::kLastType; ++type)
        typeCombo_->addItem(exportfmt::typeText(type), type);
    typeCombo_->setCurrentIndex(fileType_ - exportfmt::kFirstType);
    folderEdit_->setText(outputFolder);
    prefixEdit_->setText(prefix);
    fpsEdit_->setText(QString::number(fps));
    connect(typeCombo_, &QComboBox::currentIndexChanged, this, &ImgExportDlg::OnFileTypeChanged);
    connect(codecCombo_, &QComboBox::currentIndexChanged, this, &ImgExportDlg::OnCodecChanged);
    connect(fpsEdit_, &QLineEdit::textChanged, this, [this] {
        markUnusableRows();
        showCommand();
    });
    OnFileTypeChanged(typeCombo_->currentIndex());
}

void ImgExportDlg::buildForm(const QString& clipFolder)
{
    setWindowTitle(tr("Export clip"));
    auto* input = new QGroupBox(tr("Input"));
    auto* clipLabel = new QLabel(QStringLiteral("%1:<br>%2").arg(tr("Export"), QDir::toNativeSeparators(clipFolder)));
    clipLabel->setStyleSheet(kLinkStyle);
    clipLabel->setWordWrap(true);
    (new QVBoxLayout(input))->addWidget(clipLabel);

    folderEdit_ = new QLineEdit;
    auto* browseButton = new QPushButton(tr("Browse..."));
    connect(browseButton, &QPushButton::clicked, this, &ImgExportDlg::browse);
    typeCombo_ = new QComboBox;
    codecLabel_ = new QLabel(tr("Codec:"));
    codecCombo_ = new QComboBox;
    prefixEdit_ = new QLineEdit;
    fpsEdit_ = new QLineEdit;
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Video output directory:")), 0, 0);
    grid->addWidget(folderEdit_, 0, 1);
    grid->addWidget(browseButton, 0, 2);
    grid->addWidget(new QLabel(tr("File Type:")), 1, 0);
    grid->addWidget(typeCombo_, 1, 1, 1, 2);
    grid->addWidget(codecLabel_, 2, 0);
    grid->addWidget(codecCombo_, 2, 1, 1, 2);
    grid->addWidget(new QLabel(tr("File Prefix/Name:")), 3, 0);
    grid->addWidget(prefixEdit_, 3, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Output fps:")), 4, 0);
    grid->addWidget(fpsEdit_, 4, 1, 1, 2);

    auto* ffmpeg = new QGroupBox(tr("FFmpeg"));
    commandLabel_ = new QLabel;
    commandLabel_->setStyleSheet(kLinkStyle);
    commandLabel_->setWordWrap(true);
    (new QVBoxLayout(ffmpeg))->addWidget(commandLabel_);
    problemLabel_ = new QLabel;
    problemLabel_->setObjectName(QStringLiteral("problemLabel"));
    problemLabel_->setStyleSheet(QStringLiteral("QLabel { color: #e05050; }"));
    problemLabel_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImgExportDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(input);
    layout->addLayout(grid);
    layout->addWidget(ffmpeg);
    layout->addWidget(problemLabel_);
    layout->addWidget(buttons);
    folderEdit_->setObjectName(QStringLiteral("folderEdit"));
    typeCombo_->setObjectName(QStringLiteral("typeCombo"));
    codecCombo_->setObjectName(QStringLiteral("codecCombo"));
    prefixEdit_->setObjectName(QStringLiteral("prefixEdit"));
    fpsEdit_->setObjectName(QStringLiteral("fpsEdit"));
    commandLabel_->setObjectName(QStringLiteral("commandLabel"));
}

void ImgExportDlg::setEncoders(const QSet<QString>& encoders)
{
    encoders_ = encoders;
    encodersKnown_ = true;
    markUnusableRows();
    selectUsableCodec();
    showCommand();
}

void ImgExportDlg::browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Video Output directory"), folderEdit_->text());
    if (!folder.isEmpty())
        folderEdit_->setText(QDir::toNativeSeparators(folder));
}

void ImgExportDlg::OnFileTypeChanged(int index)
{
    fileType_ = typeCombo_->itemData(index).toInt();
    const QList<exportfmt::CodecRow>& rows = exportfmt::codecRows(fileType_);
    {
        const QSignalBlocker block(codecCombo_);
        codecCombo_->clear();
        for (const exportfmt::CodecRow& row : rows)
            codecCombo_->addItem(QString::fromLatin1(row.description));
        codecCombo_->setEnabled(!rows.isEmpty());
        codecLabel_->setEnabled(!rows.isEmpty());
        markUnusableRows();
        if (rows.isEmpty())
            codecIndex_ = 0;
        selectUsableCodec();
    }
    showCommand();
}

void ImgExportDlg::OnCodecChanged(int index)
{
    codecIndex_ = index;
    showCommand();
}

void ImgExportDlg::markUnusableRows()
{
    auto* model = qobject_cast<QStandardItemModel*>(codecCombo_->model());
    const QList<exportfmt::CodecRow>& rows = exportfmt::codecRows(fileType_);
    if (!model || model->rowCount() != rows.size())
        return;
    const int fps = exportfmt::parseFps(fpsEdit_->text());
    for (int i = 0; i < rows.size(); ++i) {
        QSet<QString> encoders = encoders_;
        if (!encodersKnown_)
            encoders.insert(QString::fromLatin1(rows[i].codec));
        const QString problem = exportfmt::codecRowProblem(rows[i], picture_.width(), picture_.height(), fps, encoders);
        QStandardItem* item = model->item(i);
        item->setEnabled(problem.isEmpty());
        item->setData(problem.isEmpty() ? QVariant() : QVariant(problem), Qt::ToolTipRole);
    }
}

// The remembered row when the table has it and it can encode, else the first that can.
void ImgExportDlg::selectUsableCodec()
{
    const auto* model = qobject_cast<const QStandardItemModel*>(codecCombo_->model());
    const auto usable = [&](int row) {
        return row >= 0 && row < codecCombo_->count() && (!model || model->item(row)->isEnabled());
    };
    int row = codecIndex_;
    if (!usable(row)) {
        row = -1;
        for (int i = 0; i < codecCombo_->count() && row < 0; ++i)
            if (usable(i))
                row = i;
    }
    if (codecCombo_->count() > 0) {
        const QSignalBlocker block(codecCombo_);
        codecCombo_->setCurrentIndex(row);
        codecIndex_ = row;
    }
}

QString ImgExportDlg::currentArguments(QString* problem) const
{
    const int fps = exportfmt::parseFps(fpsEdit_->text());
    if (exportfmt::isMovie(fileType_) && fps == 0) {
        *problem = tr("Output fps must be a whole number of at least 1.");
        return {};
    }
    const QList<exportfmt::CodecRow>& rows = exportfmt::codecRows(fileType_);
    if (!rows.isEmpty()) {
        const int row = codecCombo_->currentIndex();
        if (row < 0) {
            *problem = tr("No codec of this file type can encode this clip.");
            return {};
        }
        if (const auto* model = qobject_cast<const QStandardItemModel*>(codecCombo_->model());
            model && !model->item(row)->isEnabled()) {
            *problem = model->item(row)->toolTip();
            return {};
        }
    }
    return exportfmt::ffmpegArguments(fileType_, picture_.width(), picture_.height(), fps, codecCombo_->currentIndex());
}

void ImgExportDlg::showCommand()
{
    QString problem;
    const QString arguments = currentArguments(&problem);
    commandLabel_->setText(
        QStringLiteral("<u>%1</u><p>ffmpeg %2").arg(tr("FFMPEG Command:"), arguments.toHtmlEscaped()));
    problemLabel_->setText(problem);
}

void ImgExportDlg::OnOK()
{
    QString problem;
    const QString arguments = currentArguments(&problem);
    const QString folder = QDir::toNativeSeparators(folderEdit_->text().trimmed());
    if (problem.isEmpty() && arguments.isEmpty())
        problem = tr("No codec of this file type can encode this clip.");
    if (problem.isEmpty() && prefixEdit_->text().isEmpty())
        problem = tr("Give the exported files a name.");
    if (problem.isEmpty())
        problem = exportfmt::outputFolderProblem(fileType_, folder, frames_, picture_.width(), picture_.height());
    problemLabel_->setText(problem);
    if (!problem.isEmpty())
        return;
    fps_ = exportfmt::parseFps(fpsEdit_->text()) > 0 ? exportfmt::parseFps(fpsEdit_->text()) : fps_;
    arguments_ = arguments;
    outputFolder_ = folder;
    prefix_ = prefixEdit_->text();
    outputFile_ = exportfmt::outputFile(fileType_, outputFolder_, prefix_);
    accept();
}
