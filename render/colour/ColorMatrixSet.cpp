#include "render/colour/ColorMatrixSet.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>
#include <limits>

namespace {

QString matrixElement(qsizetype index)
{
    return QStringLiteral("Matrix_%1").arg(index);
}

QString coefficientElement(int row, int column)
{
    return QStringLiteral("elem_%1_%2").arg(row).arg(column);
}

// "Matrix_<n>" with n written exactly as we write it; -1 for anything else.
qint64 matrixIndex(QStringView name)
{
    if (!name.startsWith(u"Matrix_"))
        return -1;
    const QStringView digits = name.mid(7);
    bool ok = false;
    const uint index = digits.toUInt(&ok, 10);
    if (!ok || index >= ColorMatrixSet::MaxRecords || digits != QString::number(index))
        return -1;
    return index;
}

qint32 truncatedTemperature(const QString& text)
{
    const float kelvin = text.trimmed().toFloat();
    if (!std::isfinite(kelvin))
        return 0;
    const double limited =
        qBound(double(std::numeric_limits<qint32>::min()), double(kelvin), double(std::numeric_limits<qint32>::max()));
    return qint32(limited);
}

// Children of one "Matrix_<n>" element, in document order: (element name, its text).
using MatrixChildren = QList<std::pair<QString, QString>>;

ColorMatrixRecord recordFrom(const MatrixChildren& children)
{
    ColorMatrixRecord record;
    for (const auto& [name, text] : children) {
        if (name == QLatin1String("Temperature")) {
            record.temperature = truncatedTemperature(text);
            continue;
        }
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                if (name == coefficientElement(row, column))
                    record.matrix[size_t(row * 3 + column)] = text.trimmed().toFloat();
    }
    return record;
}

// Everything the set needs from the file, gathered in one pass: the text of the first
// "Number_of_Matrices" and the children of the first element of each "Matrix_<n>".
struct MatrixFileContent {
    std::optional<QString> count;
    QHash<qint64, MatrixChildren> matrices;
};

// One element whose content is being gathered; several can be open when the file nests them.
struct OpenCapture {
    qint64 depth;  // depth of the captured element itself
    qint64 matrix; // its matrix index, or -1 for "Number_of_Matrices"
    QString text;  // text of the count, or of the child being read
    QString child; // name of the open child element of a matrix
};

bool readMatrixFile(QXmlStreamReader& xml, MatrixFileContent& content)
{
    QList<OpenCapture> open;
    qint64 depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            for (OpenCapture& c : open)
                if (c.matrix >= 0 && depth == c.depth + 1) {
                    c.child = xml.name().toString();
                    c.text.clear();
                }
            const QStringView name = xml.name();
            if (name == u"Number_of_Matrices" && !content.count) {
                content.count = QString();
                open.append({depth, -1, {}, {}});
            } else if (const qint64 index = matrixIndex(name); index >= 0 && !content.matrices.contains(index)) {
                content.matrices.insert(index, {});
                open.append({depth, index, {}, {}});
            }
        } else if (token == QXmlStreamReader::Characters) {
            for (OpenCapture& c : open)
                if (c.matrix < 0 || depth > c.depth)
                    c.text += xml.text();
        } else if (token == QXmlStreamReader::EndElement) {
            for (auto it = open.begin(); it != open.end();) {
                if (it->matrix >= 0 && depth == it->depth + 1)
                    content.matrices[it->matrix].append({it->child, it->text});
                if (depth == it->depth) {
                    if (it->matrix < 0)
                        content.count = it->text;
                    it = open.erase(it);
                } else {
                    ++it;
                }
            }
            --depth;
        }
    }
    return !xml.hasError();
}

} // namespace

bool ColorMatrixSet::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << QStringLiteral("Failed to open colour matrix file %1").arg(path);
        return false;
    }
    QXmlStreamReader xml(&file);
    MatrixFileContent content;
    if (!readMatrixFile(xml, content)) {
        qWarning().noquote() << QStringLiteral("Malformed colour matrix file %1:%2: %3")
                                    .arg(path)
                                    .arg(xml.lineNumber())
                                    .arg(xml.errorString());
        return false;
    }
    if (!content.count) {
        qWarning().noquote() << QStringLiteral("Colour matrix file %1 has no Number_of_Matrices").arg(path);
        return false;
    }
    bool ok = false;
    const uint count = content.count->trimmed().toUInt(&ok, 10);
    if (ok && count > MaxRecords) {
        qWarning().noquote() << QStringLiteral("Colour matrix file %1 lists %2 matrices, more than %3")
                                    .arg(path)
                                    .arg(count)
                                    .arg(MaxRecords);
        return false;
    }
    const qsizetype n = ok ? qsizetype(count) : 0;
    QList<ColorMatrixRecord> loaded(n);
    for (qsizetype i = 0; i < n; ++i)
        if (const auto it = content.matrices.constFind(i); it != content.matrices.constEnd())
            loaded[i] = recordFrom(*it);
    records = loaded;
    return true;
}

bool ColorMatrixSet::save(const QString& path) const
{
    // Unbuffered: a buffered QSaveFile would commit an empty file when the disk is full.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qDebug().noquote() << QStringLiteral("Failed to write colour matrix file %1").arg(path);
        return false;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Matrices"));
    xml.writeTextElement(QStringLiteral("Number_of_Matrices"), QString::number(records.size()));
    for (qsizetype i = 0; i < records.size(); ++i) {
        const ColorMatrixRecord& r = records[i];
        xml.writeStartElement(matrixElement(i));
        xml.writeTextElement(QStringLiteral("Temperature"), QString::number(r.temperature));
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                xml.writeTextElement(coefficientElement(row, column),
                                     QString::number(double(r.element(row, column)), 'g', 6));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

ColorMatrixSet::Blend ColorMatrixSet::interpolate(double t) const
{
    Blend blend; // identity matrix, temperature 0
    const qsizetype n = records.size();
    if (n == 0)
        return blend;
    // Outside [0, n] the clamped indices coincide and give the end record anyway; bounding x
    // keeps floor() and the index conversion defined for any t.
    const double x = std::isfinite(t) ? qBound(0.0, double(n) * t, double(n)) : 0.0;
    const qsizetype lo = qBound<qsizetype>(0, qsizetype(std::floor(x)), n - 1);
    const qsizetype hi = qBound<qsizetype>(0, qsizetype(std::ceil(x)), n - 1);
    const double f = x - double(lo);
    const ColorMatrixRecord& a = records[lo];
    const ColorMatrixRecord& b = records[hi];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            blend.matrix(row, column) = double(a.element(row, column)) * (1.0 - f) + double(b.element(row, column)) * f;
    blend.temperature = double(a.temperature) * (1.0 - f) + double(b.temperature) * f;
    return blend;
}
