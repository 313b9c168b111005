#pragma once
// Qt's own Russian texts for the standard buttons and dialogs («Отмена», «Да», file dialogs).

class QCoreApplication;

namespace zet::ui {

// Loads qtbase_ru from Qt's translations folder into app; false when it is not installed
// (the standard buttons then stay in English).
bool installRussianTranslations(QCoreApplication& app);

} // namespace zet::ui
