#include "shell/OutputFile.h"

#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "store/OutputTarget.h"
#include "store/SiblingFiles.h"
#include "store/UserReasons.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>

std::string OutputFileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

std::string ShownFileName(const QString& path) {
    return ToUtf8(QFileInfo(path).fileName());
}

bool MayWrite(const QString& path, const CBookDatabase& db, QWidget* parent) {
    const OutputCheck check =
        CheckOutputTarget(OutputFileName(path), db.IsOpen() ? db.GetPath() : "");
    const std::string file = "Fisierul " + ShownFileName(path);
    switch (check.refusal) {
    case OutputRefusal::None:
        return true;
    case OutputRefusal::NotRegularFile:
        ShowMessage(file + " nu este un fisier obisnuit; nu s-a scris nimic.", parent);
        break;
    case OutputRefusal::CatalogueFile:
        ShowMessage(file + " este chiar catalogul sau un fisier al lui; nu s-a scris nimic.",
                    parent);
        break;
    case OutputRefusal::FolderNotWritable:
        ShowMessage(file + " nu poate fi scris: dosarul lui nu primeste fisiere (" +
                        RomanianReason(check.reason) + "); nu s-a scris nimic.",
                    parent);
        break;
    }
    return false;
}

bool WritePdf(const QString& path, const std::function<bool(QPagedPaintDevice&)>& paint,
              QWidget* parent) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter writer(&pdf);
        painted = paint(writer);
    }
    const std::string failure = painted ? ReplaceFileWith(OutputFileName(path), BytesOf(pdf.data()))
                                        : std::string("scrierea a esuat");
    if (!failure.empty()) {
        ShowMessage("Fisierul " + ShownFileName(path) +
                        " nu poate fi scris: " + RomanianReason(failure),
                    parent);
        return false;
    }
    return true;
}
