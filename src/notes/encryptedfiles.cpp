// Encrypted files in the window: the passphrase asked for opening one and
// for making one. The files themselves are the record store's and the
// document writer's (crypto/sealedfile.h keeps their keys).

#include "app/TForm1.h"

#include "crypto/agefile.h"
#include "crypto/sealedfile.h"

#include <QFileInfo>

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
        if (QFileInfo(path) != QFileInfo(CurrentFile))
            if (auto seal = tl::crypto::keyring::sealFor(CurrentFile))
                tl::crypto::keyring::keep(path, std::move(seal));
        return true;
    }
    if (QFileInfo(path) == QFileInfo(CurrentFile) && tl::NotesSession::isUnlocked(path))
        return true;
    std::optional<tl::crypto::SecureBytes> typed = askNewPassphrase(path);
    if (!typed)
        return false;
    tl::NotesSession::sealNew(path, std::move(*typed));
    return true;
}
