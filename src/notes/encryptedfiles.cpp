// Encrypted files in the window: the passphrase asked for opening one and
// for making one. The files themselves are the record store's and the
// document writer's (crypto/sealedfile.h keeps their keys).

#include "app/TForm1.h"

#include "crypto/agefile.h"
#include "crypto/sealedfile.h"

#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "settings/settingstable.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QTextDocument>
#include <QTimer>

#include <chrono>
#include <functional>

namespace {

// Sees every key and click of the program, for the lock after idle time.
class UseWatcher : public QObject {
public:
    UseWatcher(QObject *owner, std::function<void()> used) : QObject(owner), m_used(std::move(used)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            tl::runGuarded(m_used);
            break;
        default:
            break;
        }
        return false;
    }

private:
    std::function<void()> m_used;
};

} // namespace

tl::PassphraseRequest TForm1::passphraseRequest(const QString &path, bool isNew) const
{
    tl::PassphraseRequest r;
    const QString name = QFileInfo(path).fileName();
    r.caption = uiText("MainForm.passCaption");
    r.prompt = uiText(isNew ? "MainForm.passNew" : "MainForm.passPrompt").arg(name);
    if (isNew)
        r.again = uiText("MainForm.passAgain");
    r.mismatch = uiText("MainForm.passMismatch");
    r.ok = uiText("MainForm.passOk");
    r.cancel = uiText("MainForm.passCancel");
    return r;
}

bool TForm1::askUnlock(const QString &path, QString problem)
{
    for (;;) {
        tl::PassphraseRequest request = passphraseRequest(path, false);
        request.problem = problem;
        std::optional<tl::crypto::SecureBytes> typed = m_services.dialogs->passphrase(this, request);
        if (!typed)
            return false;
        try {
            tl::NotesSession::unlock(path, std::move(*typed));
            restartLockTimer();
            return true;
        } catch (const tl::crypto::age::AgeError &e) {
            if (e.failure() == tl::crypto::age::Failure::WrongPassphrase) {
                problem = uiText("MainForm.passWrong");
                continue;
            }
            // Not to be opened whatever is typed: a damaged file, one
            // encrypted to keys, too high a work factor.
            m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
                                           QStringLiteral("\"%1\" cannot be opened.\n\n%2")
                                               .arg(QFileInfo(path).fileName(), e.message()),
                                           tl::MsgButtons::Ok, tl::MsgIcon::Warning);
            return false;
        }
    }
}

std::optional<tl::crypto::SecureBytes> TForm1::askNewPassphrase(const QString &path)
{
    return m_services.dialogs->passphrase(this, passphraseRequest(path, true));
}

bool TForm1::sealIfAsked(const QString &path)
{
    if (!path.endsWith(QLatin1String(".age"))) {
        // A copy of the open encrypted file stays encrypted, with its key:
        // only Remove encryption writes its text in plain.
        if (QFileInfo(path) != QFileInfo(CurrentFile()))
            if (auto seal = tl::crypto::keyring::sealFor(CurrentFile()))
                tl::crypto::keyring::keep(path, std::move(seal));
        return true;
    }
    if (QFileInfo(path) == QFileInfo(CurrentFile()) && tl::NotesSession::isUnlocked(path))
        return true;
    std::optional<tl::crypto::SecureBytes> typed = askNewPassphrase(path);
    if (!typed)
        return false;
    tl::NotesSession::sealNew(path, std::move(*typed));
    restartLockTimer();
    return true;
}

void TForm1::lockOpenFile()
{
    if (CurrentFile().isEmpty() || !tl::NotesSession::isUnlocked(CurrentFile()))
        return;
    // Stored first: a store that fails leaves it all as it was, and says why.
    if (notesFileOpen()) {
        StoreShownNote();
    } else if (Modified() && canWriteBack()) {
        writeDocument(CurrentFile());
        m_session.file().shownEdited = false;
    }
    m_lockedPath = CurrentFile();
    m_lockedNote = CurrentNote();
    if (m_lockTimer)
        m_lockTimer->stop();
    m_session.lock();
    m_findCache.clear();
    SearchCounters.reset(0);
    {
        const QSignalBlocker block(cbSeek);
        cbSeek->clear();
    }
    // Back and Next stay as they were: a click on them asks for the passphrase.
    const bool back = cmdBack->isEnabled(), next = cmdNext->isEnabled();
    m_session.file().clear();
    cmdBack->setEnabled(back);
    cmdNext->setEnabled(next);
    memo1->clear();
    memo1->document()->clearUndoRedoStacks();
    m_session.file().shownEdited = false;
    m_syncNotice.clear();
    pShowPanelInfo(CurrentFile());
}

bool TForm1::unlockAgain()
{
    if (m_lockedPath.isEmpty())
        return true;
    const QString path = m_lockedPath;
    if (!QFileInfo(path).isFile()) {
        m_lockedPath.clear();
        pShowPanelInfo(CurrentFile());
        return true;
    }
    if (!tl::NotesSession::isUnlocked(path) && !askUnlock(path))
        return false;
    m_lockedPath.clear();
    m_session.file().path = path;
    m_session.file().note = 0;
    OpenNotes(path);
    if (notesFileOpen() && m_lockedNote > 0 && m_lockedNote < myFileSize(CurrentFile())) {
        showNote(m_lockedNote);
        pShowPanelInfo(CurrentFile());
    }
    return true;
}

void TForm1::wireLocking()
{
    m_lockTimer = new QTimer(this);
    m_lockTimer->setObjectName(QStringLiteral("lockTimer"));
    m_lockTimer->setSingleShot(true);
    tl::connectGuarded(m_lockTimer, &QTimer::timeout, this, [this] { lockOpenFile(); });
    // Any key or click in the program counts as use; hidden, nothing does.
    // The watcher belongs to the window: it goes with it.
    qApp->installEventFilter(new UseWatcher(this, [this] { restartLockTimer(); }));
}

void TForm1::restartLockTimer()
{
    if (!m_lockTimer)
        return;
    const int minutes = GetFromRegInt(tl::setting::LockAfterMinutes);
    if (minutes <= 0 || CurrentFile().isEmpty() || !tl::NotesSession::isUnlocked(CurrentFile())) {
        m_lockTimer->stop();
        return;
    }
    m_lockTimer->start(std::chrono::minutes(minutes));
}
