#include "QtDialogs.h"
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace platform {

QString QtDialogs::toNameFilters(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    return filters.join(QStringLiteral(";;"));
}

QString QtDialogs::toSuffix(const QString& defaultExt) {
    QString suffix = defaultExt.section(QLatin1Char('|'), 0, 0).trimmed();
    while (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    return suffix;
}

DialogResult QtDialogs::openFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(toNameFilters(request.filter));
    dialog.setDefaultSuffix(toSuffix(request.defaultExt));
    const QFileInfo initial(request.initialPath);
    if (!request.initialPath.isEmpty()) {
        if (initial.isDir()) {
            dialog.setDirectory(initial.absoluteFilePath());
        } else {
            dialog.setDirectory(initial.absolutePath());
            // A real name is proposed; a wildcard ("*.wav") stands in the name field, where it
            // lists only the files it matches.
            dialog.selectFile(initial.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {DialogResult::Status::Cancelled, {}, 0};
    return {DialogResult::Status::Ok, dialog.selectedFiles().constFirst(), 0};
}

DialogResult QtDialogs::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(toNameFilters(request.filter));
    const QFileInfo proposed(request.initialPath);
    dialog.setDirectory(proposed.absolutePath());
    dialog.setDefaultSuffix(proposed.suffix());
    dialog.selectFile(proposed.fileName());
    // The name typed so far keeps its stem and takes the extension of the filter chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) {
                         // "SVG drawing (*.svg)": the first pattern's extension.
                         const QRegularExpressionMatch m =
                             QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
                         if (!m.hasMatch())
                             return;
                         const QString suffix = m.captured(1);
                         dialog.setDefaultSuffix(suffix);
                         const QStringList typed = dialog.selectedFiles();
                         if (!typed.isEmpty())
                             dialog.selectFile(QFileInfo(typed.constFirst()).completeBaseName() +
                                               QLatin1Char('.') + suffix);
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {DialogResult::Status::Cancelled, {}, 0};
    QString chosen = dialog.selectedFiles().constFirst();
    // The dialog leaves out the suffix when the typed name is also a folder's name in the
    // current working folder; the file still needs it.
    if (QFileInfo(chosen).suffix().isEmpty() && !dialog.defaultSuffix().isEmpty())
        chosen += QLatin1Char('.') + dialog.defaultSuffix();
    return {DialogResult::Status::Ok, chosen, 0};
}

DialogResult QtDialogs::chooseFontFace(const QString& currentFace) {
    // Only the face is chosen: the displays' size is fixed, so no size choice is offered.
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* caption = new QLabel(QStringLiteral("&Font:"), &dialog);
    layout->addWidget(caption);
    auto* faces = new QFontComboBox(&dialog);
    // The buddy turns "&F" into the access key instead of a literal ampersand.
    caption->setBuddy(faces);
    faces->setFontFilters(QFontComboBox::ScalableFonts);
    faces->setCurrentFont(QFont(currentFace));
    layout->addWidget(faces);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return {DialogResult::Status::Cancelled, {}, 0};
    return {DialogResult::Status::Ok, faces->currentFont().family(), 0};
}

} // namespace platform
