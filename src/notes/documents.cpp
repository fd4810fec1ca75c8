// Every file enters and leaves the main window here: notes files one note at
// a time, anything else whole as a text or RTF document.

#include "app/TForm1.h"

#include "app/flatbutton.h"
#include "platform/atomicfile.h"
#include "settings/settingstable.h"

#include <QFileInfo>
#include <QLabel>
#include <QTextEdit>

namespace {
QString extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}
} // namespace

void TForm1::OpenNotes(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    if (extensionOf(path) == QLatin1String(".nts")) {
        cmdBack->setEnabled(true);
        cmdNext->setEnabled(true);
        setEditorText(nLoadRecordXML(0, path));
        CurrentFile = path;
        pShowPanelInfo(path);
    } else {
        pShowPanelInfo(CurrentFile);
        cmdBack->setEnabled(false);
        cmdNext->setEnabled(false);
        setEditorText(QString::fromUtf8(tl::readWholeFile(path)));
        CurrentFile = path;
    }
    Modified = false;
}

void TForm1::CloseNotes(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    if (extensionOf(path) == QLatin1String(".nts")) {
        nSaveRecordXML(CurrentNote, path, CreateMemoRTF());
        return;
    }
    if (!Modified)
        return;
    if (GetFromReg(tl::SettingsStore::q(tl::setting::AskBySave)).toLower() == QLatin1String("true")
        && m_services.dialogs->messageBox(this, QStringLiteral("Подтверждение"),
                                          QStringLiteral("Сохранить изменения перед выходом?"),
                                          tl::MsgButtons::YesNo, tl::MsgIcon::Question)
            != tl::MsgResult::Yes)
        return;
    if (tl::isReadOnlyFile(path))
        return;
    // Only an RTF document gets rich text back; a text file stays plain text.
    const bool rich = QFileInfo(path).suffix().toLower() == QLatin1String("rtf");
    tl::writeFileAtomically(path, (rich ? CreateMemoRTF() : memo1->toPlainText()).toUtf8());
    Modified = false;
}

void TForm1::pShowPanelInfo(const QString &path)
{
    if (QFileInfo(CurrentFile).suffix().toLower() == QLatin1String("nts")) {
        const QString realPath = GetNotesParam(QStringLiteral("RealPath"));
        const QString name = QFileInfo(realPath.isEmpty() ? path : realPath).fileName();
        setWindowTitle(QStringLiteral("Tessaleaf - ") + name);
        Panel1->setText(QStringLiteral("Note %1 of %2 from %3").arg(CurrentNote + 1).arg(myFileSize(path)).arg(name));
    } else {
        const QString name = QFileInfo(path).fileName();
        setWindowTitle(QStringLiteral("Tessaleaf - ") + name);
        Panel1->setText(QStringLiteral("Text or RTF ") + name);
    }
}
