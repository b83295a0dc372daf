#include "render/colour/ColorMatrixSet.h"
#include "render/colour/ColorUpdate.h"
#include "render/state/PaintOptions.h"
#include "render/state/RenderState.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

ColorMatrixRecord record(qint32 kelvin, float base)
{
    ColorMatrixRecord r;
    r.temperature = kelvin;
    for (size_t i = 0; i < r.matrix.size(); ++i)
        r.matrix[i] = base + float(i);
    r.extra = {7.0f, 8.0f, 9.0f};
    return r;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestColorMatrices : public QObject {
    Q_OBJECT
private slots:
    void blending();
    void writeThenReadKeepsSixDigits();
    void writtenDocument();
    void readRefusesBadFilesAndKeepsTheSet();
    void readFillsWhatTheFileLacksWithZero();
    void colourUpdateFoldsGainsAndNormalises();
    void paintOptions();
};

void TestColorMatrices::blending()
{
    ColorMatrixSet set;
    ColorMatrixSet::Blend b = set.interpolate(0.3);
    QCOMPARE(b.temperature, 0.0);
    QVERIFY(b.matrix.isIdentity());

    set.records = {record(3200, 1.0f)};
    for (double t : {0.0, 0.5, 1.0}) {
        b = set.interpolate(t);
        QCOMPARE(b.temperature, 3200.0);
        QCOMPARE(b.matrix(1, 2), 6.0);
    }

    set.records = {record(2000, 0.0f), record(3000, 10.0f), record(4000, 20.0f), record(5000, 30.0f)};
    b = set.interpolate(0.5); // x = 2: exactly the third record
    QCOMPARE(b.temperature, 4000.0);
    QCOMPARE(b.matrix(0, 0), 20.0);
    QCOMPARE(b.matrix(2, 2), 28.0);

    b = set.interpolate(0.6); // x = 2.4: 0.6 of the third and 0.4 of the fourth
    QVERIFY(qAbs(b.temperature - 4400.0) < 1e-6);
    QVERIFY(qAbs(b.matrix(0, 1) - (0.6 * 21.0 + 0.4 * 31.0)) < 1e-9);

    // From (n - 1) / n up, and beyond the range, the last record; below 0 the first.
    QCOMPARE(set.interpolate(0.75).temperature, 5000.0);
    QCOMPARE(set.interpolate(1.0).temperature, 5000.0);
    QCOMPARE(set.interpolate(40.0).matrix(0, 0), 30.0);
    QCOMPARE(set.interpolate(-3.0).temperature, 2000.0);
    QCOMPARE(set.interpolate(qQNaN()).temperature, 2000.0);
}

void TestColorMatrices::writeThenReadKeepsSixDigits()
{
    QTemporaryDir dir;
    ColorMatrixSet written;
    written.records = {record(2800, 0.123456789f), record(6500, -1.987654321f)};
    written.records[1].matrix[4] = 1234567.0f;
    const QString path = dir.filePath("ColorMatrices.xml");
    QVERIFY(written.save(path));

    ColorMatrixSet read;
    QVERIFY(read.load(path));
    QCOMPARE(read.records.size(), 2);
    for (qsizetype i = 0; i < 2; ++i) {
        QCOMPARE(read.records[i].temperature, written.records[i].temperature);
        for (size_t k = 0; k < 9; ++k) {
            const double expected = written.records[i].matrix[k];
            QVERIFY2(qAbs(read.records[i].matrix[k] - expected) <= 5e-6 * qAbs(expected),
                     qPrintable(QString::number(read.records[i].matrix[k])));
        }
        QCOMPARE(read.records[i].extra, (std::array<float, 3>{}));
    }
}

void TestColorMatrices::writtenDocument()
{
    QTemporaryDir dir;
    ColorMatrixSet set;
    set.records = {record(3200, 0.5f)};
    const QString path = dir.filePath("m.xml");
    QVERIFY(set.save(path));
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<Matrices>\n"
                                "    <Number_of_Matrices>1</Number_of_Matrices>\n"
                                "    <Matrix_0>\n"
                                "        <Temperature>3200</Temperature>\n"
                                "        <elem_0_0>0.5</elem_0_0>\n"
                                "        <elem_0_1>1.5</elem_0_1>\n"
                                "        <elem_0_2>2.5</elem_0_2>\n"
                                "        <elem_1_0>3.5</elem_1_0>\n"
                                "        <elem_1_1>4.5</elem_1_1>\n"
                                "        <elem_1_2>5.5</elem_1_2>\n"
                                "        <elem_2_0>6.5</elem_2_0>\n"
                                "        <elem_2_1>7.5</elem_2_1>\n"
                                "        <elem_2_2>8.5</elem_2_2>\n"
                                "    </Matrix_0>\n"
                                "</Matrices>\n";
    QCOMPARE(readFile(path), expected);

    // Saving again replaces the file instead of appending to it.
    set.records.clear();
    QVERIFY(set.save(path));
    QVERIFY(!readFile(path).contains("Matrix_0"));
}

void TestColorMatrices::readRefusesBadFilesAndKeepsTheSet()
{
    QTemporaryDir dir;
    ColorMatrixSet set;
    set.records = {record(4000, 1.0f)};
    const auto before = set.records;

    QVERIFY(!set.load(dir.filePath("missing.xml")));

    const QString malformed = dir.filePath("malformed.xml");
    writeFile(malformed, "<Matrices><Number_of_Matrices>1</Number_of_Matrices><Matrix_0><Temperature>9");
    QVERIFY(!set.load(malformed));

    const QString countless = dir.filePath("countless.xml");
    writeFile(countless, "<Matrices><Matrix_0><Temperature>9000</Temperature></Matrix_0></Matrices>");
    QVERIFY(!set.load(countless));

    // A count that would make us allocate billions of records is refused, not obeyed.
    const QString huge = dir.filePath("huge.xml");
    writeFile(huge, "<Matrices><Number_of_Matrices>4294967295</Number_of_Matrices></Matrices>");
    QVERIFY(!set.load(huge));

    QByteArray deep = "<Matrices><Number_of_Matrices>1</Number_of_Matrices>";
    for (int i = 0; i < 50000; ++i)
        deep += "<Matrix_0>";
    deep += "<Temperature>1</Temperature>"; // unclosed: malformed after deep nesting
    const QString deepPath = dir.filePath("deep.xml");
    writeFile(deepPath, deep);
    QVERIFY(!set.load(deepPath));

    QCOMPARE(set.records, before);
}

void TestColorMatrices::readFillsWhatTheFileLacksWithZero()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("partial.xml");
    // Three listed, only the second present (with a float temperature, a bad number and an
    // unknown element); the first record's elements also appear nested one level too deep.
    writeFile(path,
              "<Matrices><Number_of_Matrices> 3 </Number_of_Matrices>"
              "<Matrix_0><Wrapper><elem_0_0>5</elem_0_0></Wrapper></Matrix_0>"
              "<Matrix_1><Temperature>5600.9</Temperature><elem_1_1>0.75</elem_1_1>"
              "<elem_2_2>lots</elem_2_2><Other>1</Other><elem_0_2>1e99</elem_0_2></Matrix_1>"
              "<Matrix_1><Temperature>1</Temperature></Matrix_1>"
              "<Matrix_01><Temperature>2</Temperature></Matrix_01></Matrices>");
    ColorMatrixSet set;
    QVERIFY(set.load(path));
    QCOMPARE(set.records.size(), 3);
    QCOMPARE(set.records[0], ColorMatrixRecord{});
    QCOMPARE(set.records[1].temperature, 5600);
    QCOMPARE(set.records[1].element(1, 1), 0.75f);
    QCOMPARE(set.records[1].element(2, 2), 0.0f);
    QCOMPARE(set.records[2], ColorMatrixRecord{});
}

void TestColorMatrices::colourUpdateFoldsGainsAndNormalises()
{
    RenderState state;
    state.setValue("GainR", 2.0);
    state.setValue("GainB", 0.5);
    state.setValue("PedestalG", 100.0);
    state.setValue("FlareG", -28.0);
    state.setValue("FlareB", 512.0);

    const double rows[9] = {1.0,  0.5,  0.5,  // sum 2, x2 -> 4
                            0.5,  1.0,  0.5,  // sum 2, x1 -> 2
                            0.25, 0.25, 1.5}; // sum 2, x0.5 -> 1: the smallest
    render::applyColorUpdate(state, render::Matrix3x3Double(rows));

    const auto m = state.matrix3x3Value("ColorCorrectionMatrix");
    QCOMPARE(m(0, 0), 2.0);
    QCOMPARE(m(0, 1), 1.0);
    QCOMPARE(m(1, 1), 1.0);
    QCOMPARE(m(2, 0), 0.125);
    QCOMPARE(m(2, 2), 0.75);
    QCOMPARE(m(2, 0) + m(2, 1) + m(2, 2), 1.0);
    const auto o = state.matrix3x1Value("ColorOffsets");
    QCOMPARE(o(0, 0), 0.0);
    QCOMPARE(o(1, 0), 128.0 / 1024.0);
    QCOMPARE(o(2, 0), -0.5);

    // A row with no weight must not turn the matrix into infinities.
    state.setValue("GainG", 0.0);
    render::applyColorUpdate(state, render::Matrix3x3Double(rows));
    const auto unnormalised = state.matrix3x3Value("ColorCorrectionMatrix");
    QCOMPARE(unnormalised(0, 0), 2.0);
    QCOMPARE(unnormalised(1, 1), 0.0);
}

void TestColorMatrices::paintOptions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("paint.xml");
    writeFile(path, "<?xml version=\"1.0\"?><PaintOptions><Gamma>3</Gamma><ColorMat>768</ColorMat></PaintOptions>");
    auto options = render::readPaintOptions(path);
    QVERIFY(options);
    QCOMPARE(options->colorMat, 768u);

    writeFile(path, "<PaintOptions><Gamma>3</Gamma><ColorMat>-5</ColorMat></PaintOptions>");
    options = render::readPaintOptions(path);
    QVERIFY(options && !options->colorMat);

    writeFile(path, "<Other><ColorMat>5</ColorMat></Other>");
    options = render::readPaintOptions(path);
    QVERIFY(options && !options->colorMat);

    writeFile(path, "<PaintOptions><ColorMat>5</ColorMat>");
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("failed to parse the XML file .*"));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(".+"));
    QVERIFY(!render::readPaintOptions(path));
    QVERIFY(!render::readPaintOptions(dir.filePath("none.xml")));
}

QTEST_MAIN(TestColorMatrices)
#include "tst_colormatrices.moc"
