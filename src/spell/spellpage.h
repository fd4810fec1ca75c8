#pragma once
// The spelling controls of the Preferences' Editor page: checking on or
// off, the dictionary, and which dictionaries are installed. They read and
// store the settings themselves; changed() tells the window to follow.

#include "i18n/language.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;

namespace tl {

class SettingsStore;

class SpellingOptions : public QWidget {
    Q_OBJECT
public:
    SpellingOptions(const SettingsStore &settings, QWidget *parent);

    // The controls from the stored settings and the installed dictionaries.
    void readSettings();
    void loadLanguage(const QString &programFolder, const QString &language);

    QCheckBox *cbSpell;
    QLabel *lblSpellLanguage, *lblDictionaries;
    QComboBox *cbSpellLanguage;

Q_SIGNALS:
    // A setting changed: the window applies them again.
    void changed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showTexts();
    const SettingsStore &m_settings;
    i18n::Texts m_texts{i18n::spellTexts};
    bool m_reading = false;
};

} // namespace tl
