// The window's Export...: the file chooser, the question before replacing, and the write.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>

#include "output/exporter.h"
#include "ui/generator_dialog.h"
#include "ui/in_language.h"
#include "ui/progress_bar_indicator.h"
#include "ui/window_options.h"

namespace pindot {

void GeneratorDialog::OnExport() {
  // The window's own Generate first, so the boxes show what is exported even after a Cancel. Only
  // a font that cannot be opened stops it: the old texts would not belong to the current font.
  if (!Generate()) return;
  const QString fullPath = saveFileChooser_(exportFolder_);
  if (fullPath.isEmpty()) return;
  exportFolder_ = QFileInfo(fullPath).absolutePath();

  QStringList failures;
  try {
    // A name that cannot be exported is refused before anything is asked or written.
    const std::string path = QFile::encodeName(fullPath).toStdString();
    const ExportPaths paths = DeriveExportPaths(path);
    // Both files are replaced, while the chooser could only ask about the name typed.
    QStringList existing;
    for (const std::string& file : {paths.headerPath, paths.sourcePath}) {
      if (QFileInfo::exists(QFile::decodeName(file.c_str()))) {
        existing << QDir::toNativeSeparators(QFile::decodeName(file.c_str()));
      }
    }
    if (!existing.isEmpty() &&
        !questionAsker_(Message(StringId::kReplaceFilesQuestion).arg(existing.join('\n')))) {
      return;
    }
    // The files get the same bytes as the text shown, written straight from the lists.
    ProgressBarIndicator progress(*progressBar_);
    const ExportReport report =
        ExportGeneratedFiles(generator_, path, progress, TableOptions(options_));
    for (const ExportFailure& failure : report.failures) {
      failures << Message(StringId::kCannotWriteMessage)
                      .arg(QFile::decodeName(failure.path.c_str()),
                           QString::fromStdString(failure.reason));
    }
  } catch (const std::exception& error) {
    failures << FailureText(language_, error);
  }
  if (!failures.isEmpty()) ShowMessage(failures.join(QLatin1Char('\n')));
}

QString GeneratorDialog::DefaultSaveFileChooser(const QString& folder) {
  // Qt's own chooser: no initial name, no filter, no question of its own (OnExport asks about
  // both files it writes).
  QFileDialog chooser(this);
  chooser.setAcceptMode(QFileDialog::AcceptSave);
  chooser.setFileMode(QFileDialog::AnyFile);
  chooser.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  if (!folder.isEmpty()) chooser.setDirectory(folder);
  if (chooser.exec() != QDialog::Accepted) return {};
  // The chooser reads double quotes in a typed name as quoting several names: q"x.txt would come
  // back as x.txt. The name is handed on as typed, so that export can refuse it.
  if (const auto* typed = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
    const QString name = typed->text();
    if (name.contains(QLatin1Char('"')) || name.contains(QLatin1Char('\\'))) {
      return chooser.directory().filePath(name);
    }
  }
  return chooser.selectedFiles().value(0);
}

}  // namespace pindot
