// Export... and Import... of the file menus: the dialog, then the work in
// tl_core, then a box that says what was done.
#include "app/TForm1.h"

#include "controls/guarded.h"
#include "notes/filekind.h"
#include "platform/error.h"
#include "port/TfrmPort.h"
#include "port/notesfile.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

namespace {

// An unused name like "Gnote notes.nts" in folder: "(2)" and on when taken.
QString freeName(const QString &folder, const QString &base, const QString &suffix)
{
    QString name = folder + QLatin1Char('/') + base + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = folder + QStringLiteral("/%1 (%2)%3").arg(base).arg(n).arg(suffix);
    return name;
}

// A report of many lines is cut for the box.
QString shortened(const QStringList &lines)
{
    constexpr int kShown = 15;
    if (lines.size() <= kShown)
        return lines.join(QLatin1Char('\n'));
    return (lines.mid(0, kShown) << QStringLiteral("... (%1 more)").arg(lines.size() - kShown)).join(QLatin1Char('\n'));
}

} // namespace

void TForm1::wirePortItems()
{
    // Beside the file items, before the trash and backups below the line.
    auto item = [this](QMenu *menu, const char *name, void (TForm1::*handler)()) {
        QAction *a = new QAction(menu);
        const QList<QAction *> shown = menu->actions();
        const auto line = std::find_if(shown.begin(), shown.end(), [](QAction *x) { return x->isSeparator(); });
        menu->insertAction(line == shown.end() ? nullptr : *line, a);
        a->setObjectName(QString::fromLatin1(name));
        tl::connectGuarded(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    ExportNotes2 = item(mnuFile, "ExportNotes2", &TForm1::ExportNotes2Click);
    ImportNotes2 = item(mnuFile, "ImportNotes2", &TForm1::ImportNotes2Click);
    ExportNotes1 = item(File1, "ExportNotes1", &TForm1::ExportNotes2Click);
    ImportNotes1 = item(File1, "ImportNotes1", &TForm1::ImportNotes2Click);
    auto showTexts = [this](const tl::i18n::Texts &main) {
        // Access keys of their own beside the four file items'.
        const QStringList texts = tl::i18n::withAccessKeys(
            {main["MainForm.NewFile2"], main["MainForm.OpenFile2"], main["MainForm.SaveFile2"],
             main["MainForm.Savefileas2"], main["MainForm.DeletedNotes"], main["MainForm.RestoreBackup"],
             m_portTexts["frmPort.ExportMenu"], m_portTexts["frmPort.ImportMenu"]});
        for (QAction *a : {ExportNotes2, ExportNotes1})
            a->setText(texts[6]);
        for (QAction *a : {ImportNotes2, ImportNotes1})
            a->setText(texts[7]);
    };
    showTexts(tl::i18n::Texts(tl::i18n::mainFormTexts));
    languageLoaders.push_back([this, showTexts](const QString &language) {
        m_portTexts = tl::i18n::Texts::load(tl::i18n::portTexts, programFolder(), language);
        showTexts(tl::i18n::Texts::load(tl::i18n::mainFormTexts, programFolder(), language));
    });
}

void TForm1::ExportNotes2Click()
{
    if (!notesFileOpen()) {
        m_services.dialogs->messageBox(this, m_portTexts["frmPortExport"], m_portTexts["frmPort.noNotesFile"],
                                       tl::MsgButtons::Ok, tl::MsgIcon::Information);
        return;
    }
    // What the person sees is what goes out: the note shown is stored first.
    if (Modified() && canWriteBack())
        StoreShownNote();
    // A working copy is named after its archive, where the person keeps it.
    const QFileInfo shown(m_session.file().archive.isEmpty() ? CurrentFile() : m_session.file().archive);
    auto *dialog = new TfrmPort(this, *m_services.dialogs, TfrmPort::Mode::Export, m_portTexts);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->proposeTarget(shown.absolutePath() + QLatin1Char('/') + shown.completeBaseName());
    const QString source = CurrentFile();
    QObject::connect(dialog, &QDialog::accepted, this, [this, dialog, source, shown] {
        tl::runGuarded([&] {
            const QString target = QDir::fromNativeSeparators(dialog->target());
            try {
                const tl::port::ExportReport report = tl::port::exportNotes(
                    tl::port::readAllNotes(source), dialog->format(), target, shown.completeBaseName());
                QStringList lines{m_portTexts["frmPort.exported"].arg(report.notes).arg(QDir::toNativeSeparators(target))};
                m_services.dialogs->messageBox(this, m_portTexts["frmPortExport"],
                                               shortened(lines + report.notices), tl::MsgButtons::Ok,
                                               tl::MsgIcon::Information);
            } catch (const tl::Error &e) {
                m_services.dialogs->messageBox(this, m_portTexts["frmPortExport"], e.message(), tl::MsgButtons::Ok,
                                               tl::MsgIcon::Error);
            }
        });
    });
    dialog->open();
}

void TForm1::ImportNotes2Click()
{
    auto *dialog = new TfrmPort(this, *m_services.dialogs, TfrmPort::Mode::Import, m_portTexts);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString folder = CurrentFile().isEmpty() ? QDir::homePath()
                                                 : QFileInfo(m_session.file().archive.isEmpty() ? CurrentFile() : m_session.file().archive).absolutePath();
    auto proposeFor = [dialog, folder] {
        dialog->proposeNewFile(
            freeName(folder, QStringLiteral("Notes from %1").arg(tl::port::importKindName(dialog->kind())), QStringLiteral(".nts")));
    };
    proposeFor();
    QObject::connect(dialog->cboChoice, &QComboBox::currentIndexChanged, dialog, proposeFor);
    QObject::connect(dialog, &QDialog::accepted, this, [this, dialog] {
        tl::runGuarded([&] {
            const QString source = QDir::fromNativeSeparators(dialog->source());
            QString target = QDir::fromNativeSeparators(dialog->target());
            if (tl::fileKindOf(target) != tl::FileKind::Notes)
                target += QStringLiteral(".nts");
            try {
                const tl::port::ImportReport report = tl::port::importNotes(dialog->kind(), source);
                const QStringList lines = tl::port::reportLines(report);
                if (report.notes.isEmpty()) {
                    m_services.dialogs->messageBox(
                        this, m_portTexts["frmPortImport"],
                        shortened(QStringList{m_portTexts["frmPort.nothing"].arg(QDir::toNativeSeparators(source))} + lines),
                        tl::MsgButtons::Ok, tl::MsgIcon::Warning);
                    return;
                }
                tl::port::writeNewNotesFile(target, report.notes);
                m_services.dialogs->messageBox(
                    this, m_portTexts["frmPortImport"],
                    shortened(QStringList{m_portTexts["frmPort.imported"].arg(report.notes.size()).arg(
                                  QDir::toNativeSeparators(target))} + lines),
                    tl::MsgButtons::Ok, tl::MsgIcon::Information);
            } catch (const tl::Error &e) {
                m_services.dialogs->messageBox(this, m_portTexts["frmPortImport"], e.message(), tl::MsgButtons::Ok,
                                               tl::MsgIcon::Error);
                return;
            }
            File1Click(target);
        });
    });
    dialog->open();
}
