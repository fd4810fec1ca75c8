#include "platform/qtservices.h"

#include "platform/hotkey_x11.h"
#include "platform/lazysound.h"
#include "platform/passphrasedialog.h"
#include "platform/tray.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QPrinterInfo>

namespace tl {

MsgResult QtDialogs::messageBox(QWidget *parent, const QString &caption, const QString &text,
                                MsgButtons buttons, MsgIcon icon)
{
    QMessageBox box(parent);
    // Above the window it belongs to, also where that one stays on top.
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);  // Return answers Yes
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::SaveAsDiscardCancel:
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.button(QMessageBox::Save)->setText(QMessageBox::tr("Save As..."));
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return MsgResult::Ok;
    case QMessageBox::Yes:
    case QMessageBox::Save: return MsgResult::Yes;
    case QMessageBox::No:
    case QMessageBox::Discard: return MsgResult::No;
    default: return MsgResult::Cancel;
    }
}

static QString runFileDialog(QWidget *parent, FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.caption, request.folder, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QStringList filters = request.filter.split(QStringLiteral(";;"));
    if (request.filterIndex >= 0 && request.filterIndex < filters.size())
        dialog.selectNameFilter(filters[request.filterIndex]);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    request.filterIndex = int(filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().constFirst();
}

std::optional<crypto::SecureBytes> QtDialogs::passphrase(QWidget *parent, const PassphraseRequest &request)
{
    PassphraseDialog dialog(request, parent);
    if (parent && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.take();
}

QString QtDialogs::openFileName(QWidget *parent, FileDialogRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFileName(QWidget *parent, FileDialogRequest &request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

QString QtDialogs::existingFolder(QWidget *parent, const QString &caption, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

std::optional<QColor> QtDialogs::color(QWidget *parent, const QColor &initial)
{
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> QtDialogs::font(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return f;
}

bool QtShell::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool QtPrinting::hasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool QtPrinting::printDialog(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    // The note is printed whole: no page ranges, no selection.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    return dialog.exec() == QDialog::Accepted;
}

Services realServices()
{
    Services s;
    s.dialogs = std::make_unique<QtDialogs>();
    s.shell = std::make_unique<QtShell>();
    s.sound = std::make_unique<LazySound>();
    s.tray = std::make_unique<QtTray>();
    s.printing = std::make_unique<QtPrinting>();
    s.hotKey = std::make_unique<X11HotKey>();
    return s;
}

} // namespace tl
