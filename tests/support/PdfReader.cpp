#include "PdfReader.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString Number(double value) {
    return QString::number(static_cast<int>(value));
}

} // namespace

int PdfPageCount(const QString& path) {
    const QString info = Run("pdfinfo", {path});
    const QRegularExpressionMatch match = QRegularExpression(R"(Pages:\s+(\d+))").match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString PdfText(const QString& path, int first, int last) {
    return Run("pdftotext", {"-f", QString::number(first), "-l", QString::number(last), path, "-"});
}

QString PdfText(const QString& path, int page, const CPdfBand& band) {
    return Run("pdftotext",
               {"-f", QString::number(page), "-l", QString::number(page), "-r", "72", "-x", Number(band.x),
                "-y", Number(band.y), "-W", Number(band.width), "-H", Number(band.height), path, "-"});
}

QString PdfLayoutText(const QString& path, int page) {
    return Run("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), path, "-"});
}

QImage RenderPdfPage(const QString& path, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("sheet");
    Run("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page),
                     "-aa", "no", "-aaVector", "no", "-singlefile", "-png", path, prefix});
    return QImage(prefix + ".png");
}
