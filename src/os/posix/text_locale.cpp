#include "os/posix/text_locale.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <initializer_list>

namespace stock {

void useUtf8CharacterType() {
    const char* codeset = ::nl_langinfo(CODESET);
    if (codeset && std::strcmp(codeset, "UTF-8") == 0) return;
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
        if (std::setlocale(LC_CTYPE, name)) return;
}

}  // namespace stock
