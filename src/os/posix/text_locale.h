#pragma once

namespace stock {

// Makes the C library's character type UTF-8 when the user's locale gives
// another one (the POSIX locale of a bare `su -` shell, for one), so that
// Xlib and the toolkit, which hand this program's UTF-8 texts to the
// multibyte calls, label them correctly. Call once the toolkit has read the
// user's locale. The other categories stay the user's.
void useUtf8CharacterType();

}  // namespace stock
