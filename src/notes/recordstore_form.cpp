// The main window's side of the record store: the editor and step buttons.

#include "app/TForm1.h"

#include "richtext/richedit.h"

QString TForm1::nLoadRecord(int index, const QString &path)
{
    memo1->clear();
    const QString text = m_session.loadNote(index, path);
    updateStepButtons();
    return text;
}

void TForm1::nSaveRecord(int index, const QString &path, const QString &text)
{
    m_session.records().saveNote(index, path, text);
}

void TForm1::nRemoveRecord(int index, const QString &path)
{
    if (m_session.records().removeNote(index, path) && CurrentNote() > 0)
        --m_session.file().note;
}

QString TForm1::GetNotesParam(const QString &name)
{
    return m_session.records().param(CurrentFile(), name);
}

void TForm1::SetNotesParam(const QString &name, const QString &value)
{
    m_session.records().setParam(CurrentFile(), name, value);
}

QString TForm1::CreateMemoRTF() const
{
    return memo1->toRtf();
}
