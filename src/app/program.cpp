#include "app/program.h"

namespace stock {

Program::Program(const ProgramServices& s)
    : lifetime_(s.ui),
      about_({s.ui, lifetime_, s.userName, s.shell, s.programs, s.registry, s.messageBox}),
      main_({s.ui, s.clipboard, s.instanceLock, lifetime_, &about_, s.tray, s.store}) {}

bool Program::start() {
    main_.load();
    return !lifetime_.ended();
}

}  // namespace stock
