// The desktop program: the calculation sheet's window over the sheet's core.
#include <QApplication>

#include "formuortala.h"
#include "pamerolwindow.h"
#include "pictures.h"
#include "qtdesktop.h"
#include "qtmessages.h"
#include "raporsecwindow.h"
#include "spreadsheets.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pamerol"));

    pamerol::ui::QtMessages messages(pamerol::ui::kSheetTitle);
    pamerol::Pamerol core(messages);
    pamerol::ui::QtDesktop desktop;
    const std::string folder = pamerol::ProgramFolder();

    pamerol::ui::PamerolWindow window(core, desktop, [&](QWidget* parent) {
        pamerol::ui::ShowPrintouts(core.record(), folder, pamerol::ui::Spreadsheets(folder), messages,
                                   parent);
    });
    messages.setWindow(&window);

    pamerol::ui::FormuOrtala(window);
    core.start(folder);
    window.show();
    return QApplication::exec();
}
