#pragma once
// The main mode's «Перенести архив в журнал…»: the day-file archive read into the results
// journal with a progress dialog that can cancel it, then one message with what was done.

class QWidget;

namespace zet {
class AppCore;
}

namespace zet::ui {

void importArchiveWithProgress(AppCore& core, QWidget* parent);

} // namespace zet::ui
