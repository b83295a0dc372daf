#include "export/ExportFormats.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <array>

namespace exportfmt {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ImgExportDlg", text);
}

struct TypeInfo {
    const char* text;
    const char* extension;
    const char* arguments;
};

// FFmpeg's JPEG encoder is "mjpeg"; it has none called "jpg".
const std::array<TypeInfo, 8> kTypes = {{
    {QT_TRANSLATE_NOOP("ImgExportDlg", "TIFF file (*.tif)"), "tif",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2  -i - -y -vcodec tiff -start_number 0"},
    {QT_TRANSLATE_NOOP("ImgExportDlg", "PNG file (*.png)"), "png",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2  -i - -y -vcodec png -pix_fmt rgb24 -start_number 0"},
    {QT_TRANSLATE_NOOP("ImgExportDlg", "JPEG file (*.jpg)"), "jpg",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2  -i - -y -vcodec mjpeg -pix_fmt rgb24 -start_number 0"},
    {QT_TRANSLATE_NOOP("ImgExportDlg", "Digital Picture Exchange File (*.dpx)"), "dpx",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2  -i - -y -vcodec dpx -pix_fmt rgb24 -start_number 0"},
    {QT_TRANSLATE_NOOP("ImgExportDlg", "Audio Video Interleaved - AVI (*.avi)"), "avi",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2 -r %3  -i - -y -vcodec %4 -pix_fmt %5"},
    {QT_TRANSLATE_NOOP("ImgExportDlg", "Apple Quick Time File (*.mov)"), "mov",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2 -r %3  -i - -y -vcodec %4 -pix_fmt %5"},
    {QT_TRANSLATE_NOOP("ImgExportDlg", "H.264 MPEG File (*.mp4)"), "mp4",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2 -r %3  -i - -y -pix_fmt yuv420p -c:v libx264 -preset "
     "veryslow -qp 0"},
    {QT_TRANSLATE_NOOP("ImgExportDlg", "Moving Picture Experts Group (*.mpg)"), "mpg",
     "-vcodec rawvideo -f rawvideo -pix_fmt rgb24 -s %1x%2 -r %3 -i - -y -vcodec %4 -pix_fmt %5"},
}};

const QList<CodecRow> kMpgRows = {
    {"mpeg4", "MPEG-4 part 2", "yuv420p"},
    {"mpeg2video", "MPEG-2 video", "yuv420p"},
    {"mpeg1video", "MPEG-1 video", "yuv420p"},
};

const QList<CodecRow> kMovRows = {
    {"v410", "Uncompressed 4:4:4 10-bit", "yuv444p"},
    {"v210", "Uncompressed 4:2:2 10-bit", "yuv422p"},
    {"tiff", "TIFF image", "rgb24"},
    {"targa", "Truevision Targa image", "bgr24"},
    {"svq1", "Sorenson Vector Quantizer 1 / Sorenson Video 1 / SVQ1", "yuv410p"},
    {"sgi", "SGI image", "rgb24"},
    {"qtrle", "QuickTime Animation (RLE) video", "rgb24"},
    {"prores", "Apple ProRes (iCodec Pro)", "yuv420p"},
    {"png", "PNG (Portable Network Graphics) image", "rgb24"},
    {"msmpeg4v3", "MPEG-4 part 2 Microsoft variant version 3", "yuv420p"},
    {"mpeg4", "MPEG-4 part 2", "yuv420p"},
    {"mpeg2video", "MPEG-2 video", "yuv420p"},
    {"mpeg1video", "MPEG-1 video", "yuv420p"},
    {"mjpeg", "Motion JPEG", "yuvj444p"},
    {"hevc", "H.265 / HEVC (High Efficiency Video Coding)", "yuv420p"},
    {"h264", "H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10", "yuv420p"},
    {"h263", "H.263 / H.263-1996, H.263+ / H.263-1998 / H.263 ver 2", "yuv420p"},
    {"dpx", "DPX (Digital Picture Exchange)", "rgb24"},
    {"rawvideo", "Uncompressed (raw video)", "rgb24"},
};

const QList<CodecRow> kAviRows = {
    {"zlib", "LCL (LossLess Codec Library) ZLIB", "bgr24"},
    {"xwd", "XWD (X Window Dump) image", "bgr24"},
    {"wmv2", "Windows Media Video 8", "yuv420p"},
    {"wmv1", "Windows Media Video 7", "yuv420p"},
    {"webp", "WebP", "yuv420p"},
    {"vp9", "Google VP9", "yuv420p"},
    {"vp8", "On2 VP8", "yuv420p"},
    {"v410", "Uncompressed 4:4:4 10-bit", "yuv444p"},
    {"v210", "Uncompressed 4:2:2 10-bit", "yuv422p"},
    {"utvideo", "Ut Video", "rgb24"},
    {"tiff", "TIFF image", "rgb24"},
    {"theora", "Theora", "yuv422p"},
    {"targa", "Truevision Targa image", "bgr24"},
    {"svq1", "Sorenson Vector Quantizer 1 / Sorenson Video 1 / SVQ1", "yuv410p"},
    {"sunrast", "Sun Rasterfile image", "bgr24"},
    {"sgi", "SGI image", "rgb24"},
    {"rv20", "RealVideo 2.0", "yuv420p"},
    {"rv10", "RealVideo 1.0", "yuv420p"},
    {"roq", "id RoQ video", "yuvj444p"},
    {"r210", "Uncompressed RGB 10-bit", "rgb48"},
    {"r10k", "AJA Kona 10-bit RGB Codec", "rgb48"},
    {"qtrle", "QuickTime Animation (RLE) video", "rgb24"},
    {"prores", "Apple ProRes (iCodec Pro)", "yuv422p"},
    {"png", "PNG (Portable Network Graphics) image", "rgb24"},
    {"pcx", "PC Paintbrush PCX image", "rgb24"},
    {"pam", "PAM (Portable AnyMap) image", "rgb24"},
    {"msvideo1", "Microsoft Video 1", "rgb555"},
    {"msmpeg4v3", "MPEG-4 part 2 Microsoft variant version 3", "yuv420p"},
    {"msmpeg4v2", "MPEG-4 part 2 Microsoft variant version 2", "yuv420p"},
    {"mpeg4", "MPEG-4 part 2", "yuv420p"},
    {"mpeg2video", "MPEG-2 video", "yuv420p"},
    {"mpeg1video", "MPEG-1 video", "yuv420p"},
    {"mjpeg", "Motion JPEG", "yuvj444p"},
    {"ljpeg", "Lossless JPEG", "bgr24"},
    {"jpegls", "JPEG-LS", "bgr24"},
    {"jpeg2000", "J PEG 2000", "rgb24"},
    {"huffyuv", "HuffYUV", "yuv422p"},
    {"hevc", "H.265 / HEVC (High Efficiency Video Coding)", "yuv420p"},
    {"h264", "H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10", "yuv420p"},
    {"h263p", "H.263+ / H.263-1998 / H.263 version 2", "yuv420p"},
    {"h263", "H.263 / H.263-1996, H.263+ / H.263-1998 / H.263 ver 2", "yuv420p"},
    {"h261", "H.261", "yuv420p"},
    {"gif", "GIF (Graphics Interchange Format)", "rgb24"},
    {"flv1", "FLV / Sorenson Spark / Sorenson H.263 (Flash Video)", "yuv420p"},
    {"flashsv2", "Flash Screen Video v2", "bgr24"},
    {"flashsv", "Flash Screen Video v1", "bgr24"},
    {"ffvhuff", "Huffyuv FFmpeg variant", "yuv422p"},
    {"ffv1", "FFmpeg video codec #1", "yuv420p"},
    {"dvvideo", "DV (Digital Video)", "yuv420p"},
    {"dpx", "DPX (Digital Picture Exchange) image", "rgb24"},
    {"dnxhd", "VC3/DNxHD", "yuv422p"},
    {"dirac", "Dirac", "yuv420p"},
    {"cljr", "Cirrus Logic AccuPak", "yuv411p"},
    {"cinepak", "Cinepak", "rgb24"},
    {"bmp", "BMP (Windows and OS/2 bitmap)", "bgr24"},
    {"asv2", "ASUS V2", "yuvj420p"},
    {"asv1", "ASUS V1", "yuv420p"},
    {"amv", "AMV Video", "yuvj420p"},
    {"alias_pix", "Alias/Wavefront PIX image", "bgr24"},
    {"rawvideo", "Uncompressed (raw video)", "bgr24"},
};

const QList<CodecRow> kNoRows;

const TypeInfo& info(int type)
{
    return kTypes[size_t(isValidType(type) ? type - kFirstType : 0)];
}

bool multipleOf16(int width, int height)
{
    return width % 16 == 0 && height % 16 == 0;
}

bool oneOf(int width, int height, std::initializer_list<std::pair<int, int>> sizes)
{
    for (const auto& [w, h] : sizes)
        if (w == width && h == height)
            return true;
    return false;
}

// What FFmpeg's encoders reject or get wrong for a size or rate, found by trial encodes.
QString sizeOrRateProblem(const QString& codec, int width, int height, int fps)
{
    if (codec == QLatin1String("h263")
        && !oneOf(width, height, {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}}))
        return tr("H.263 encodes only 128x96, 176x144, 352x288, 704x576 and 1408x1152 pictures.");
    if (codec == QLatin1String("h261") && !oneOf(width, height, {{176, 144}, {352, 288}}))
        return tr("H.261 encodes only 176x144 and 352x288 pictures.");
    if (codec == QLatin1String("dvvideo") && !(width == 720 && height == 576 && fps == 25))
        return tr("DV in this pixel format holds only 720x576 pictures at 25 fps.");
    if (codec == QLatin1String("dnxhd"))
        return tr("DNxHD needs a profile and a bit rate that this export does not set.");
    if (codec == QLatin1String("rv10") && !(multipleOf16(width, height) && (width / 16) * (height / 16) < 4096))
        return tr("RealVideo 1.0 needs a width and height that are multiples of 16 and a picture under 4096 "
                  "macroblocks.");
    if ((codec == QLatin1String("roq") || codec == QLatin1String("amv")) && !multipleOf16(width, height))
        return tr("This codec needs a width and height that are multiples of 16.");
    if (codec == QLatin1String("h263p") && (width > 2048 || height > 1152))
        return tr("H.263+ encodes pictures of at most 2048x1152.");
    if (codec == QLatin1String("svq1") && (width > 4095 || height > 4095 || qint64(width) * height > 3200 * 1800))
        return tr("SVQ1 fails on pictures larger than 3200x1800.");
    const bool standardRate = fps == 24 || fps == 25 || fps == 30 || fps == 50 || fps == 60;
    if (codec == QLatin1String("mpeg1video") && !standardRate)
        return tr("MPEG-1 video plays only at 24, 25, 30, 50 or 60 fps.");
    if (codec == QLatin1String("mpeg2video") && fps > 60)
        return tr("MPEG-2 video drops frames above 60 fps.");
    return {};
}

} // namespace

bool isValidType(int type)
{
    return type >= kFirstType && type <= kLastType;
}

bool isMovie(int type)
{
    return type >= Avi && type <= Mpg;
}

bool isUncompressedImage(int type)
{
    return type == Tiff || type == Dpx;
}

QString typeText(int type)
{
    return tr(info(type).text);
}

QString extension(int type)
{
    return QString::fromLatin1(info(type).extension);
}

const QList<CodecRow>& codecRows(int type)
{
    switch (type) {
    case Avi:
        return kAviRows;
    case Mov:
        return kMovRows;
    case Mpg:
        return kMpgRows;
    default:
        return kNoRows;
    }
}

QString ffmpegArguments(int type, int width, int height, int fps, int codecIndex)
{
    const QString pattern = QString::fromLatin1(info(type).arguments);
    const QList<CodecRow>& rows = codecRows(type);
    if (!rows.isEmpty()) {
        if (codecIndex < 0 || codecIndex >= rows.size())
            return {};
        const CodecRow& row = rows[codecIndex];
        return pattern.arg(width).arg(height).arg(fps).arg(QLatin1String(row.codec), QLatin1String(row.pixelFormat));
    }
    if (isMovie(type))
        return pattern.arg(width).arg(height).arg(fps);
    return pattern.arg(width).arg(height);
}

QString outputFile(int type, const QString& folder, const QString& prefix)
{
    const QString base = QDir::toNativeSeparators(folder) + QDir::separator() + prefix;
    if (isMovie(type))
        return base + QLatin1Char('.') + extension(type);
    QString escaped = base;
    escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
    return escaped + QLatin1String("%06d.") + extension(type);
}

QString codecRowProblem(const CodecRow& row, int width, int height, int fps, const QSet<QString>& encoders)
{
    const QString codec = QString::fromLatin1(row.codec);
    if (!encoders.contains(codec))
        return tr("The installed FFmpeg has no encoder for %1.").arg(codec);
    return sizeOrRateProblem(codec, width, height, fps);
}

QString outputFolderProblem(int type, const QString& folder, qint64 frames, int width, int height)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return tr("The output folder %1 does not exist.").arg(folder);
    if (!info.isWritable())
        return tr("The output folder %1 cannot be written.").arg(folder);
    if (!isUncompressedImage(type))
        return {};
    // Three bytes a pixel and a little for each file's header.
    const double needed = double(frames) * (double(width) * height * 3 + 4096);
    const QStorageInfo volume(folder);
    if (volume.isValid() && double(volume.bytesAvailable()) < needed)
        return tr("The output folder %1 has %2 MB free; the export needs about %3 MB.")
            .arg(folder)
            .arg(volume.bytesAvailable() / 1000000)
            .arg(needed / 1e6, 0, 'f', 0);
    return {};
}

int parseFps(const QString& text)
{
    bool ok = false;
    const int fps = text.trimmed().toInt(&ok, 10);
    return ok && fps >= 1 ? fps : 0;
}

} // namespace exportfmt
