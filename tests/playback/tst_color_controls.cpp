// The paint dialog bound to a clip's render state: sliders and spin boxes in step with the
// properties, the DNR pair, the colour matrix and temperature, the paint and matrix files
// through the file dialog, and a dialog without a clip.

#include "SampleClipFolders.h"
#include "TestFiles.h"
#include "playback/ColorControls.h"
#include "playback/PlaybackHost.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

namespace {

struct RecordingHost : PlaybackHost {
    void tellUser(const QString& text) override { messages << text; }
    QStringList messages;
};

// Answers the next file dialog with path (or cancels it when path is empty). It acts only once
// the dialog runs its own event loop (an answer before that would never end it) and types the
// path into the name field, which selectFile leaves alone once that field has the focus.
void answerFileDialog(const QString& path)
{
    auto* poll = new QTimer;
    const int outerLoops = QThread::currentThread()->loopLevel();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path, outerLoops] {
        if (QThread::currentThread()->loopLevel() <= outerLoops)
            return;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            if (path.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(path);
                if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
                    name->setText(path);
                static_cast<QDialog*>(dialog)->accept(); // public there
            }
            if (!dialog->isVisible())
                poll->deleteLater();
            return;
        }
    });
    poll->start(20);
}

// Every persistent property as it would be saved.
QMap<QString, QString> savedForm(const RenderState& state)
{
    QMap<QString, QString> form;
    for (const QString& name : state.delegateNames())
        if (state.delegate(name)->persistent())
            form.insert(name, state.delegate(name)->toString());
    return form;
}

ColorMatrixRecord record(qint32 kelvin, float diagonal)
{
    ColorMatrixRecord r;
    r.temperature = kelvin;
    r.matrix = {diagonal, 0, 0, 0, diagonal, 0, 0, 0, diagonal};
    return r;
}

} // namespace

class TestColorControls : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void gainSliderWritesTheGainAndRecomputesTheMatrix();
    void pedestalSpinBoxMovesItsSliderOverTheWholeRange();
    void dnrControlsWriteBothThresholdsAndFollowTheClip();
    void miscDefaultsGoThroughTheSpinBoxes();
    void gammaIsNeverWrittenAsZero();
    void matrixGridAndResetDriveTheBaseMatrix();
    void dialogOpensOnTheTabLookedAtLast();
    void savedPaintLoadsBackThroughTheDialog();
    void unreadablePaintFileChangesNothing();
    void loadedMatrixSetMovesTheTemperature();
    void anotherClipUnbindsTheFirst();
    void withoutAClipNothingIsWritten();

private:
    QSharedPointer<SavedClip> newClip();
    template <typename T>
    T* child(const QString& name)
    {
        return dialog_->findChild<T*>(name);
    }
    QSlider* slider(const QString& property) { return child<QSlider>(property + "Slider"); }
    QDoubleSpinBox* spin(const QString& property) { return child<QDoubleSpinBox>(property + "Spin"); }
    double value(const char* property) { return clip_->renderState().doubleValue(property); }

    QTemporaryDir dir_;
    RecordingHost host_;
    QSharedPointer<SavedClip> clip_;
    std::unique_ptr<ColorControls> dialog_;
};

QSharedPointer<SavedClip> TestColorControls::newClip()
{
    static QDateTime start(QDate(2024, 5, 1), QTime(9, 0));
    testdata::FolderContent content;
    content.clip = sampleClip(4, 10, 64, 32);
    auto clip = QSharedPointer<SavedClip>::create(content.clip);
    clip->setFolderClock([] { return start = start.addSecs(1); });
    return clip->prepareDownload(dir_.path(), {}) ? clip : nullptr;
}

void TestColorControls::init()
{
    clip_ = newClip();
    QVERIFY(clip_);
    host_.messages.clear();
    host_.setPaintFolder(dir_.path());
    dialog_ = std::make_unique<ColorControls>(&host_);
    dialog_->setClip(clip_);
    dialog_->show();
}

void TestColorControls::cleanup()
{
    dialog_.reset();
    clip_.reset();
}

void TestColorControls::gainSliderWritesTheGainAndRecomputesTheMatrix()
{
    // A new clip without colour matrices starts from the identity.
    slider("GainR")->setValue(150);
    QCOMPARE(spin("GainR")->value(), 1.5);
    QCOMPARE(value("GainR"), 1.5);
    const auto matrix = clip_->renderState().matrix3x3Value("ColorCorrectionMatrix");
    QCOMPARE(matrix(0, 0), 1.5);
    QCOMPARE(matrix(1, 1), 1.0);
    QCOMPARE(matrix(2, 2), 1.0);

    // And the other way: the spin box moves the slider.
    spin("GainB")->setValue(0.29);
    QCOMPARE(slider("GainB")->value(), 29);
}

void TestColorControls::pedestalSpinBoxMovesItsSliderOverTheWholeRange()
{
    spin("PedestalR")->setValue(-200);
    QCOMPARE(slider("PedestalR")->value(), 0);
    QCOMPARE(value("PedestalR"), -200.0);
    spin("PedestalR")->setValue(200);
    QCOMPARE(slider("PedestalR")->value(), 400);
    QVERIFY(clip_->renderState().matrix3x1Value("ColorOffsets")(0, 0) > 0.0);
    slider("FlareG")->setValue(450);
    QCOMPARE(spin("FlareG")->value(), 150.0);
}

void TestColorControls::dnrControlsWriteBothThresholdsAndFollowTheClip()
{
    spin("DNR")->setValue(2.0);
    QCOMPARE(value("DNRUVThresh"), 2.0);
    QCOMPARE(value("DNRYThresh"), 1.0);
    QCOMPARE(slider("DNR")->value(), 20);
    slider("DNR")->setValue(23);
    QCOMPARE(spin("DNR")->value(), 2.3);
    QCOMPARE(value("DNRUVThresh"), 2.3);
    QCOMPARE(slider("DNR")->value(), 23);

    // Attached to another clip, and when the state changes elsewhere, the pair shows its value.
    const QSharedPointer<SavedClip> other = newClip();
    other->renderState().setValue("DNRUVThresh", 1.3);
    dialog_->setClip(other);
    QCOMPARE(spin("DNR")->value(), 1.3);
    QCOMPARE(slider("DNR")->value(), 13);
    other->renderState().setValue("DNRUVThresh", 4.0);
    QCOMPARE(slider("DNR")->value(), 40);
}

void TestColorControls::miscDefaultsGoThroughTheSpinBoxes()
{
    spin("TNKThresh")->setValue(30);
    spin("Gamma")->setValue(1.0);
    child<QPushButton>("miscDefaultButton")->click();
    QCOMPARE(value("TNKThresh"), 8.0); // not the state's own 16
    QCOMPARE(value("Gamma"), 2.2);
    QCOMPARE(value("Saturation"), 1.2);
    QCOMPARE(value("DNRUVThresh"), 3.0);
    QCOMPARE(value("DNRYThresh"), 1.5);
    QCOMPARE(value("Brightness"), 0.0);
    QCOMPARE(slider("Gamma")->value(), 44);

    spin("GainG")->setValue(2.0);
    child<QPushButton>("gainDefaultButton")->click();
    QCOMPARE(value("GainG"), 1.0);
    spin("PedestalB")->setValue(50);
    child<QPushButton>("pedestalDefaultButton")->click();
    QCOMPARE(value("PedestalB"), 0.0);
}

void TestColorControls::gammaIsNeverWrittenAsZero()
{
    slider("Gamma")->setValue(0);
    QVERIFY(value("Gamma") > 0.0);
    spin("Gamma")->setValue(0.0);
    QVERIFY(value("Gamma") > 0.0);
    QVERIFY(spin("Gamma")->minimum() > 0.0);
}

void TestColorControls::matrixGridAndResetDriveTheBaseMatrix()
{
    child<QDoubleSpinBox>("matrix01")->setValue(0.5);
    QCOMPARE(clip_->baseColorMatrix()(0, 1), 0.5);
    // The red row sums to 1.5 now, the others to 1: the matrix is recomputed from the base.
    QCOMPARE(clip_->renderState().matrix3x3Value("ColorCorrectionMatrix")(0, 1), 0.5);

    child<QPushButton>("matrixResetButton")->click();
    QCOMPARE(child<QDoubleSpinBox>("matrix01")->value(), 0.0);
    QVERIFY(clip_->baseColorMatrix().isIdentity());
    QCOMPARE(clip_->renderState().matrix3x3Value("ColorCorrectionMatrix")(0, 1), 0.0);
}

void TestColorControls::dialogOpensOnTheTabLookedAtLast()
{
    child<QTabWidget>("tabWidget")->setCurrentIndex(2);
    QCOMPARE(child<QTabWidget>("tabWidget")->tabText(2), QString(" Flare "));
    ColorControls next(&host_);
    QCOMPARE(next.findChild<QTabWidget*>("tabWidget")->currentIndex(), 2);
    QCOMPARE(ColorControls::rememberedTab(), 2);
    child<QTabWidget>("tabWidget")->setCurrentIndex(0);
}

void TestColorControls::savedPaintLoadsBackThroughTheDialog()
{
    spin("GainG")->setValue(1.7);
    spin("PedestalB")->setValue(-20);
    spin("Gamma")->setValue(1.85);
    spin("DNR")->setValue(0.9);
    const QMap<QString, QString> saved = savedForm(clip_->renderState());
    const QString path = dir_.filePath("paints/look.xml");
    QDir().mkpath(dir_.filePath("paints"));
    answerFileDialog(path);
    child<QPushButton>("savePaintXMLButton")->click();
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(host_.paintFolder(), dir_.filePath("paints")); // the next dialog starts there

    child<QPushButton>("miscDefaultButton")->click();
    child<QPushButton>("gainDefaultButton")->click();
    spin("PedestalB")->setValue(0);
    QVERIFY(savedForm(clip_->renderState()) != saved);
    answerFileDialog(path);
    child<QPushButton>("loadPaintXMLButton")->click();
    QCOMPARE(savedForm(clip_->renderState()), saved);
    QCOMPARE(spin("GainG")->value(), 1.7);
    QCOMPARE(slider("DNR")->value(), 9);
    QVERIFY(host_.messages.isEmpty());
}

void TestColorControls::unreadablePaintFileChangesNothing()
{
    spin("Gamma")->setValue(1.5);
    const QMap<QString, QString> before = savedForm(clip_->renderState());
    const QString damaged = dir_.filePath("damaged.xml");
    QVERIFY(writeFile(damaged, "<RenderState><Gamma>0.7</Gamma><Saturation>3</Satur"));
    answerFileDialog(damaged);
    child<QPushButton>("loadPaintXMLButton")->click();
    QCOMPARE(savedForm(clip_->renderState()), before);
    QCOMPARE(host_.messages.size(), 1);

    const QString other = dir_.filePath("other.xml");
    QVERIFY(writeFile(other, "<Matrices><Number_of_Matrices>0</Number_of_Matrices></Matrices>"));
    answerFileDialog(other);
    child<QPushButton>("loadPaintXMLButton")->click();
    QCOMPARE(savedForm(clip_->renderState()), before);
    QCOMPARE(host_.messages.size(), 2);

    // Cancelled: nothing happens and nothing is said.
    answerFileDialog({});
    child<QPushButton>("loadPaintXMLButton")->click();
    QCOMPARE(host_.messages.size(), 2);
}

void TestColorControls::loadedMatrixSetMovesTheTemperature()
{
    ColorMatrixSet set;
    set.records = {record(3200, 1.0f), record(5600, 2.0f)};
    const QString path = dir_.filePath("matrices.xml");
    QVERIFY(set.save(path));
    slider("ColorTempMatrix")->setValue(50); // x = 2 x 0.5: the second matrix
    QCOMPARE(value("ColorTempMatrix"), 0.5);
    answerFileDialog(path);
    child<QPushButton>("loadMatXMLButton")->click();
    QCOMPARE(child<QLabel>("temperatureValueLabel")->text(), QString("5600.0 K"));
    QCOMPARE(child<QDoubleSpinBox>("matrix11")->value(), 2.0);

    slider("ColorTempMatrix")->setValue(25); // halfway between the two
    QCOMPARE(child<QLabel>("temperatureValueLabel")->text(), QString("4400.0 K"));
    QCOMPARE(child<QDoubleSpinBox>("matrix00")->value(), 1.5);

    // The set goes back out through the dialog, and a damaged file changes nothing.
    const QString copy = dir_.filePath("copy.xml");
    answerFileDialog(copy);
    child<QPushButton>("saveMatXMLButton")->click();
    ColorMatrixSet reread;
    QVERIFY(reread.load(copy));
    QCOMPARE(reread.records.size(), 2);
    QVERIFY(writeFile(path, "<Matrices><Number_of"));
    answerFileDialog(path);
    child<QPushButton>("loadMatXMLButton")->click();
    QCOMPARE(host_.messages.size(), 1);
    QCOMPARE(clip_->colorMatrices().records.size(), 2);
    QCOMPARE(child<QLabel>("temperatureValueLabel")->text(), QString("4400.0 K"));
}

void TestColorControls::anotherClipUnbindsTheFirst()
{
    const QSharedPointer<SavedClip> first = clip_;
    const QSharedPointer<SavedClip> second = newClip();
    dialog_->setClip(second);
    slider("GainR")->setValue(200);
    spin("Saturation")->setValue(0.5);
    child<QDoubleSpinBox>("matrix02")->setValue(0.25);
    QCOMPARE(second->renderState().doubleValue("GainR"), 2.0);
    QCOMPARE(first->renderState().doubleValue("GainR"), 1.0);
    QCOMPARE(first->renderState().doubleValue("Saturation"), 1.0);
    QVERIFY(first->baseColorMatrix().isIdentity());
    // A change in the first clip's state no longer reaches the controls.
    first->renderState().setValue("GainR", 0.5);
    QCOMPARE(slider("GainR")->value(), 200);
}

void TestColorControls::withoutAClipNothingIsWritten()
{
    const QMap<QString, QString> before = savedForm(clip_->renderState());
    dialog_->setClip({});
    spin("DNR")->setValue(4.0);
    QCOMPARE(slider("DNR")->value(), 40);
    child<QDoubleSpinBox>("matrix10")->setValue(0.3);
    child<QPushButton>("matrixResetButton")->click();
    child<QPushButton>("miscDefaultButton")->click();
    slider("GainR")->setValue(10);
    answerFileDialog(dir_.filePath("nothing.xml"));
    child<QPushButton>("savePaintXMLButton")->click();
    QVERIFY(!QFileInfo::exists(dir_.filePath("nothing.xml")));
    QCOMPARE(savedForm(clip_->renderState()), before);
    QVERIFY(host_.messages.isEmpty());
}

QTEST_MAIN(TestColorControls)
#include "tst_color_controls.moc"
