#!/usr/bin/env bash
# Plants known faults in src/ one at a time, rebuilds, runs the test labels and
# prints which test caught each fault; every planted file is restored, also
# when the run is interrupted. A developer tool, not part of `make test`.
# Usage: plant-faults.sh [ID...]          (every fault when none is given)
#   BUILD=build  LABELS='core|posix|x11|wayland|qt|e2e'  (WIN_LABELS=windows for the W faults,
#   whose tests rebuild build-win/ themselves)
#   FULL=1   runs every test for each fault instead of stopping at the first failure
#   DRY=1    only checks that each fault still plants (its line is there)
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD="${BUILD:-build}"
LABELS="${LABELS:-core|posix|x11|wayland|qt|e2e}"

# ID|file under src/|what goes wrong|sed expression (last: it may hold '|')
FAULTS=(
  'P01|core/editing/edit_commands.cpp|Cut removes the text after a failed clipboard write|/nothing is removed that is not on the clipboard/d'
  'P02|core/history/recall.cpp|the top row is never recalled|s/if (row < 0 ||/if (row <= 0 ||/'
  'P03|core/history/clipboard_watcher.cpp|clipboard text comparison flipped|s/first->text == RichTextBox2.text()/first->text != RichTextBox2.text()/'
  'P04|core/about/frm_about.cpp|registry string keeps its terminator|s/if (buffer\[size - 1\] == 0) --size;/if (false) --size;/'
  'P05|core/about/frm_about.cpp|lost "???" recovery step|s/box.setText(kUnknownUser);//'
  'P06|core/about/frm_about.cpp|32-bit overflow bound wrong|s/value > 0xFFFFFFFFu/value > 0x7FFFFFFFu/'
  'P07|core/main_window/frm_clipboard.cpp|About placed 1509 instead of 1590 twips above|s/- 1590.0f/- 1509.0f/'
  'P08|core/main_window/frm_clipboard.cpp|Exit does not unload About|/if (s_.about) s_.about->unload();/d'
  'P09|core/text/text_map.cpp|CR LF shown as two line breaks|s/text\[i + 1\] == u'"'"'\\n'"'"') ? 2 : 1;/text[i + 1] == u'"'"'\\n'"'"') ? 1 : 1;/'
  'P10|core/history/history.cpp|row preview limit off by one|s/i < exact.size() \&\& i < limit;/i < exact.size() \&\& i <= limit;/'
  'P11|core/text/utf8.cpp|encoded surrogates accepted|s/if (lead == 0xED) hi_ = 0x9F;//'
  'P12|os/posix/instance_lock.cpp|display key 65 characters|s/key.resize(kMaxKey - 17);/key.resize(kMaxKey - 16);/'
  'P13|app/command_line.cpp|% not doubled in the autostart Exec line|s/if (c == '"'"'%'"'"') arg += '"'"'%'"'"';//'
  'P14|os/posix/registry.cpp|no / between folder and file name|s/if (candidate.back() != '"'"'\/'"'"') candidate.push_back/if (false) candidate.push_back/'
  'P15|os/x11/text_decoding.cpp|Latin-1 bytes sign-extended|s/for (const char c : bytes) out.push_back(static_cast<unsigned char>(c));/for (const char c : bytes) out.push_back(static_cast<char16_t>(c));/'
  'P16|os/x11/selection_fetch.cpp|secret hint misread|s/if (value_ == "secret") {/if (value_ == "secrets") {/'
  'P17|core/history/history.cpp|Clear keeps the old rows|/    rows_.clear();/d'
  'P18|ui/qt/qt_window.cpp|topmost flag always set|s/flags.setFlag(Qt::WindowStaysOnTopHint, on);/flags.setFlag(Qt::WindowStaysOnTopHint, on || true);/'
  'P19|core/text/ansi.cpp|fromAnsi drops the last unit|s/{ return decodeUtf8(bytes); }/{ auto s = decodeUtf8(bytes); if (!s.empty()) s.pop_back(); return s; }/'
  'P20|ui/qt/desktop_clipboard.cpp|own-clipboard paste branch switched off|s/    if (qtOwns()) {/    if (false \&\& qtOwns()) {/'
  'P21|core/history/history.cpp|a new clip is kept at the bottom, not the top|s/rows_.push_front(std::move(text));/rows_.push_back(std::move(text));/'
  'P22|core/history/clipboard_watcher.cpp|a secret on the first read is not a stop|s/if (!first || first->secret) return;/if (!first) return;/'
  'P23|ui/qt/history_list.cpp|rows below an announced insert answer with the new rows|s/if (inserting_ \&\& row >= \*inserting_) ++row;//'
  'P24|os/x11/text_assembly.cpp|a cut-off sequence at the end of a text is dropped|s/decoder_.finish(text_);//'
  'P25|os/posix/instance_lock.cpp|localhost:N gets a key of its own|s/host == "unix" || host == "localhost" ||/host == "unix" ||/'
  'P26|core/editing/edit_commands.cpp|Copy without a selection empties the clipboard|0,/selLength() == 0) return;/{/selLength() == 0) return;/d}'
  'P27|core/main_window/frm_clipboard.cpp|show normal keeps the window on top|s/SetWindowTopmost(w, 0);/SetWindowTopmost(w, 1);/'
  'P28|core/about/frm_about.cpp|lookup 2 read even when lookup 1 found the path|s/if (!found \&\& GetKeyValue/if (GetKeyValue/'
  'P29|core/main_window/tray_record.cpp|a long tip fills its field without the terminator|s/kTrayTipSize - 1)/kTrayTipSize)/'
  'P30|core/text/utf8.cpp|4-byte lead byte built from the wrong bits|s/0xF0 | (c >> 18)/0xF0 | (c >> 12)/'
  'P31|core/main_window/frm_clipboard.cpp|menu Exit ends the process with About still open|s/void FrmClipboard::mnuExit_Click() { unload(); }/void FrmClipboard::mnuExit_Click() { Command7_Click(); }/'
  'P32|os/selection/selection_state.cpp|a fetch for an older owner replaces a newer text|/void SelectionState::fetched/,/}/s/generation <= newest_.generation ||/generation == 0 ||/'
  'P33|os/selection/selection_state.cpp|a failed fetch is never retried|s/if (!currentLocked() \&\& failed_) {/if (false \&\& failed_) {/'
  'P34|os/posix/instance_lock.cpp|a lock file others may write is believed|s/ || (st.st_mode \& 022) != 0)/)/'
  'P35|app/command_line.cpp|a relative XDG_CONFIG_HOME is used|s/env.xdgConfigHome->starts_with(.\/.)/!env.xdgConfigHome->empty()/'
  'P36|os/posix/programs.cpp|a program that cannot be started is not reported|/const int e = errno;/,/auto n = ::write(report.fd\[1\]/d'
  'P37|os/x11/selection_fetch.cpp|COMPOUND_TEXT read as UTF-8|/if (valueType_ == atoms_.compoundText) encoding = /d'
  'P38|os/selection/selection_state.cpp|an earlier own write brings its text back|s/pendingOwnWrites_.empty() ? std::move(mine) : pendingOwnWrites_.back()/std::move(mine)/'
  'P39|os/x11/selection_fetch.cpp|STRING read as UTF-8|/if (valueType_ == XCB_ATOM_STRING) encoding = /d'
  'P40|os/posix/instance_lock.cpp|a folder open to others holds the lock|s/if ((st.st_mode \& 077) != 0) return -1;//'
  'P41|os/posix/files.cpp|autostart folders made open to all|s/return ::mkdir(dir.c_str(), 0700) == 0/return ::mkdir(dir.c_str(), 0777) == 0/'
  'P42|ui/qt/exact_text_edit.cpp|Tab types a tab instead of moving the focus|s/setTabChangesFocus(true);/setTabChangesFocus(false);/'
  'P43|ui/qt/history_list.cpp|arrow keys move the current row without recalling it|/QListView::keyPressEvent(event);/{n;d}'
  'P44|ui/qt/qt_tray.cpp|an XEmbed double-click is taken for a press|s/^            return tray_message::kLeftDoubleClick;/            return tray_message::kLeftDown;/'
  'P45|app/main_qt.cpp|a second start ends with status 1|s/if (!program.start()) return 0;/if (!program.start()) return 1;/'
  'P46|app/command_line.cpp|the autostart entry names the program as it was called|s/posix::runningProgramPath().value_or("stockkun")/std::string(argv[0])/'
  'P47|ui/qt/exact_text_edit.cpp|an edit of the box is not kept in the exact text|/exact_ = SharedText(spliced(before.view(), at, at + length, text));/d'
  'P48|app/main_qt.cpp|SIGTERM ends the process without unloading|/onTerminationRequest/d'
  'P49|os/x11/x11_hints.cpp|no skip-taskbar state|s/if (state == XCB_ATOM_NONE) return;/return;/'
  'P50|ui/qt/history_list.cpp|the list cannot scroll sideways to a long row|s/if (extent > s.width()) s.setWidth(extent);//'
  'P51|ui/qt/qt_tray.cpp|a StatusNotifierItem left click does not show the window|s/return statusNotifierHost ? tray_message::kLeftDoubleClick/return statusNotifierHost \&\& false ? tray_message::kLeftDoubleClick/'
  'P52|ui/qt/qt_window.cpp|Esc presses nothing in About|s/target = cancelButton;/target = nullptr;/'
  'P53|core/text/text_map.cpp|the shown start of a huge current clip may end in half a pair|/std::size_t cut = limit;/{n;d}'
  'P54|ui/qt/exact_text_edit.cpp|a huge current clip is shown whole|s/isReadOnly() ? shownPart(t, displayLimit) : t;/t;/'
  'P55|core/text/text_map.cpp|a run of combining marks is shown whole|s/(!s.mark || marks_ < kShownMarks) \&\& //'
  'P56|core/text/text_map.h|a long line is shown whole|s/line_ < kShownLineUnits ? kShownLineUnits - line_ : 0/kShownLineUnits/'
  'P57|core/text/text_map.cpp|hidden marks go with the unit after them|s/if (done == units \&\& s.shown) break;/if (done == units) break;/'
  'P58|core/text/text_map.cpp|an edit never shows the lines that hide units again|s/r.wholeLines = linesHide(before, r.from, r.oldTo) || linesHide(after, r.from, r.newTo);/r.wholeLines = linesHide(before, r.from, r.oldTo) \&\& false;/'
  'P59|ui/qt/exact_text_edit.cpp|a huge recall fills the document at once|s/shown.size() <= kShownAtOnce ? shown.size() : kFillPiece/shown.size()/'
  'P60|ui/qt/exact_text_edit.cpp|the edit box takes typing while it fills|s/setTextInteractionFlags(fill_->flags \& ~Qt::TextEditable);//'
  'P61|ui/qt/exact_text_edit.cpp|a recall during a fill does not end it first|/^void ExactTextEdit::showExact/,/^}/{/endFill();/d}'
  'P62|ui/qt/exact_text_edit.cpp|a typed edit among hidden marks is not shown again|s/    if (e.reshow.wholeLines) {/    if (false) {/'
  'P63|core/history/history.cpp|a history row shows a long run of marks whole|s/if (marks <= kShownMarks) out.append/out.append/'
  'P64|os/x11/selection_fetch.cpp|a made-up answer of time 0 is taken|s/n.time != setup_.time)/(n.time != setup_.time \&\& n.time != 0))/'
  'P65|os/x11/selection_fetch.cpp|a refused TARGETS goes straight to the text|s/^            ask(Stage::Hint, atoms_.passwordHint);/            nextCandidate();/'
  'P66|os/x11/selection_fetch.cpp|TARGETS and the hint bounded only as texts are|s/? setup_.textBytes : kListBytes/? setup_.textBytes : setup_.textBytes/g'
  'P67|os/x11/selection_fetch.cpp|16-bit TARGETS read as a list|s/(piece.type != XCB_ATOM_ATOM [|][|] piece.format != 32)/(piece.type != XCB_ATOM_ATOM)/'
  'P68|os/x11/selection_fetch.cpp|INCR pieces of another type are taken|s/    } else if (piece.type != valueType_) {/    } else if (false) {/'
  'P69|os/x11/selection_fetch.cpp|a text not bounded by the limit set up|s/stage_ == Stage::Text ? setup_.textBytes : kListBytes/stage_ == Stage::Text ? kTextBytes * 64 : kListBytes/g'
  'P70|os/x11/selection_fetch.cpp|an owner that refuses every text type reads empty|s/fail();  \/\/ it refused every text type.*/done(Outcome::Empty);/'
  'P71|os/selection/selection_state.cpp|an overtaken text is never answered|s/const bool overtaken = !currentLocked() \&\& newest_.answeredAt \&\& \*newest_.answeredAt != changes_;/const bool overtaken = !currentLocked();/'
  'P72|os/selection/selection_state.cpp|an overtaken fetch is dropped|s/return generation < generation_ \&\& generation > newest_.generation;/return false;/'
  'P73|os/selection/selection_state.cpp|a new owner is fetched only when a read asks|/owner == 0/,/changedLocked/s/        changedLocked();/        failed_ = true, changedLocked();/'
  'P74|os/selection/selection_state.cpp|a burst of copies is fetched one by one|s/return !pasteWanted_ \&\& newest_.generation != 0/return false \&\& newest_.generation != 0/'
  'P75|core/layout/layout.cpp|twips per pixel ignore the DPI|s/return dpi > 0 ? kTwipsPerInch \/ dpi : kTwipsPerInch \/ 96;/return dpi > 0 ? kTwipsPerInch \/ 96 : kTwipsPerInch \/ 96;/'
  'P76|core/layout/layout.cpp|pixels to twips truncated, not rounded|s/return static_cast<int>(std::lround(pixels \* twipsPerPixel));/return static_cast<int>(pixels * twipsPerPixel);/'
  'P77|core/layout/layout.cpp|a label with a tab index takes the focus|s/return focusable \&\& c.tab >= 0;/return c.tab >= 0;/'
  'P78|core/layout/layout.cpp|the controls that take no focus come first in focus order|s/return takesFocus(\*a) \&\& (!takesFocus(\*b) || a->tab < b->tab);/return takesFocus(*b) \&\& (!takesFocus(*a) || a->tab < b->tab);/'
  'P79|core/layout/layout.cpp|the focus order names every control|/if (!takesFocus(\*c)) break;/d'
  'P80|core/layout/layout.cpp|a menu entry nests under a sibling of the same level|s/menu\[open.back()\].level >= menu\[i\].level/menu[open.back()].level > menu[i].level/'
  'P81|core/layout/layout.cpp|the entries still open at the end of the menu lose their children|s/for (const std::size_t i : open) tree\[i\].end = menu.size();/for (const std::size_t i : open) tree[i].end = i + 1;/'
  'P82|core/text/box_edit.cpp|a box edit runs to the end of the text|s/return {p, before.size() - s - p, after.substr(p, after.size() - s - p)};/return {p, before.size() - p, after.substr(p)};/'
  'P83|core/text/box_edit.cpp|a line break typed in a box comes in as the box shows it|s/e.inserted += typedBreak;/e.inserted.push_back(typedBreak.empty() ? c : c);/'
  'P84|core/text/box_edit.cpp|the end of a box edit taken as an exact offset|s/e.to = std::max(e.from, exactOffset(exact, edit.position + edit.removed));/e.to = e.from + edit.removed;/'
  'P85|core/history/clipboard_watcher.cpp|a secret on the second read of a tick is recorded|s/if (!second || second->secret) return;/if (!second) return;/'
  'P86|core/history/history.cpp|Clear does not tell the list, which goes on drawing the old rows|/    List1.rowsCleared();/d'
  'P87|ui/qt/history_list.cpp|the Qt list is not told of a Clear|/^void HistoryView::rowsCleared/,/^}/{/model_.cleared();/d}'
  'P88|core/history/history.cpp|a U+2029 in an entry shows no break in its row|s/const std::size_t n = breakLength(exact, i);/const std::size_t n = exact[i] == 0x2029 ? 0 : breakLength(exact, i);/'
  'P89|core/history/clipboard_watcher.cpp|a tick reads while the change count stands still|/if (count \&\& equalAt_ == count) return;/d'
  'P90|core/main_window/frm_clipboard.cpp|the edit box'"'"'s own Ctrl+C cuts|/EditCommand::Copy/s/edit.Command2_Click/edit.Command4_Click/'
  'P91|core/main_window/frm_clipboard.cpp|a second start goes on to show its window|/        s_.lifetime.endNow();/{n;/return;/d}'
  'P92|core/main_window/frm_clipboard.cpp|a tray double-click does not show the window|/case tray_message::kLeftDoubleClick:/{n;d}'
  'P93|core/main_window/frm_clipboard.cpp|a right press on the tray icon opens no menu|s/if (loaded_) window_->popupMenu("mnuAbout");//'
  'P94|core/main_window/frm_clipboard.cpp|the tray icon stays after the window unloads|s/        s_.tray->remove();//'
  'P95|core/editing/edit_commands.cpp|a Copy the clipboard refuses does not beep|s/if (!clipboard_.writeText(RichTextBox1.selText())) ui_.beep();/clipboard_.writeText(RichTextBox1.selText());/'
  'P96|core/editing/edit_commands.cpp|Paste reads as the watcher does and so drops a secret|s/clipboard_.readTextToPaste()/textOf(clipboard_.readText())/'
  'P97|core/history/history.cpp|a history row copies its text instead of sharing it|s/rows_.push_front(std::move(text));/rows_.push_front(SharedText(text.str()));/'
  'P98|core/history/history_filter.cpp|a narrower query forgets the long rows not searched yet|/todo.insert(todo.end(), longTodo_.begin(), longTodo_.end());/d'
  'P99|core/history/history_filter.cpp|closing the filter loses the current row|s/if (current_ \&\& \*current_ < history_.size())/if (false \&\& current_)/'
  'P100|core/text/fold.cpp|nothing folds: case and width count|s/return to ? to : c;/return to ? c : c;/'
  'P101|core/text/fold.cpp|a half-width sound mark stays apart from its kana|s/if (voiced) {/if (false) {/'
  'P102|core/history/history_filter.cpp|a match above the rows shown is not told to the list|s/if (index < shownCount_) {/if (false) {/'
  'P103|core/history/history_filter.cpp|long rows are never searched|/if (m == Match::Long) longTodo_.push_back(serial);/d'
  'P104|ui/qt/history_list.cpp|the arrow keys in the filter field do not move through the list|/if (list_) QApplication::sendEvent(list_, key);/d'
  'P105|app/main_qt.cpp|the compositor'"'"'s clipboard never used|s/clipboard(wayland.usable() ? \&wayland : nullptr)/clipboard(nullptr)/'
  'P106|os/wayland/wayland_clipboard.cpp|the password hint never asked for|s/if (current_->has(kHint)) {/if (false \&\& current_->has(kHint)) {/'
  'P107|os/wayland/wayland_clipboard.cpp|an owner that refuses every text type reads empty|s/if (t.triedText) return dropTransfer();/if (false) return dropTransfer();/'
  'P108|os/wayland/wayland_clipboard.cpp|a transfer that stalls never fails|/if (now - t.pipe->lastProgress() >= options_.stallTimeout) dropTransfer();/d'
  'P109|os/wayland/wayland_clipboard.cpp|our own sources not marked: our writes fetched back|/offerMimeType(source, kOwnMark);/d'
  'P110|os/wayland/wayland_clipboard.cpp|STRING served as UTF-8|s/return type == "STRING";/return type == "";/'
  'P111|os/wayland/pipe_io.cpp|a surrogate pair split between two pieces|/if (end < all.size() \&\& isHigh(all\[end - 1\]) \&\& isLow(all\[end\])) ++end;/d'
  'P112|os/wayland/wayland_clipboard.cpp|the selection at start not fetched before the first wait|/^                work(Clock::now());$/d'
  'P113|core/history/history.cpp|a new row is not stored|/    if (store_) store_->append(rows_.front());/d'
  'P114|os/store/history_db.cpp|kept rows come back oldest first|s/SELECT text FROM entry ORDER BY id DESC/SELECT text FROM entry ORDER BY id/'
  'P115|os/store/history_db.cpp|the bound on the text kept is not held|s/entries_ > bounds_.entries || bytes_ > bounds_.bytes) \&\& entries_ > 1/entries_ > bounds_.entries) \&\& entries_ > 1/'
  'P116|os/store/history_db.cpp|cleared texts are left in the file|s/PRAGMA secure_delete = ON/PRAGMA secure_delete = OFF/'
  'P117|os/store/sqlite_history_store.cpp|a write that failed is dropped, not tried again|s/    if (wrote == HistoryDb::Wrote::Done) {/    if (wrote != HistoryDb::Wrote::Gone) {/'
  'P118|os/store/sqlite_history_store.cpp|an unreadable file is deleted, not moved aside|s/const bool moved = moveFile(path, aside) \&\&/const bool moved = removeFile(path) \&\&/'
  'P119|os/store/history_db.cpp|a store of a newer version is taken for a foreign file|/    if (\*version > kSchema) return Opened::Newer;/d'
  'P120|os/store/history_db.cpp|no waiting for another instance that writes|/    sqlite3_busy_timeout(db_, kBusyMilliseconds);/d'
  'P121|core/history/clipboard_watcher.cpp|the clipboard still holding the newest kept text adds it again|s/        if (kept) return;/        if (kept \&\& false) return;/'
  'P122|core/history/history_filter.cpp|a search after kept rows joined uses the old rows texts|s/if (foldedAt_ != history_.olderAdded()) folded_.clear();//'
  'W01|os/windows/win32_clipboard.cpp|ExcludeClipboardContentFromMonitorProcessing not a secret|/if (exclude \&\& IsClipboardFormatAvailable(exclude)) return true;/d'
  'W02|os/windows/win32_clipboard.cpp|CanIncludeInClipboardHistory = 0 not a secret|s/return value == 0;/return value == 2;/'
  'W03|ui/win32/win32_ui.cpp|every control one pixel to the right|s/return twipsToPixels(c.left, c.top, c.width, c.height, tpp());/return twipsToPixels(c.left + 15, c.top, c.width, c.height, tpp());/'
  'W04|os/windows/win32_shell.cpp|the launched program starts minimized|s/si.wShowWindow = SW_SHOWNORMAL;/si.wShowWindow = SW_SHOWMINNOACTIVE;/'
  'W05|ui/win32/win32_text_box.cpp|the end of a selection taken as an offset of the exact text|s/to = exactOffset(t, static_cast<std::size_t>(std::max<LONG>(r.cpMax, 0)));/to = static_cast<std::size_t>(std::max<LONG>(r.cpMax, 0));/'
  'W06|ui/win32/win32_ui.cpp|a DPI change keeps the old font size|s/d.defaultFont = messageFont(dpi);/d.defaultFont = messageFont(96);/'
  'W07|ui/win32/win32_text_box.cpp|a typed edit among hidden marks is not shown again|s/if (r.wholeLines) showEdit(r, grown,/if (r.wholeLines \&\& false) showEdit(r, grown,/'
  'W08|ui/win32/win32_filter_field.cpp|Esc in the filter field goes to the window, not the field|s/if (isEscapeDown(lp)) return/if (false \&\& isEscapeDown(lp)) return/'
  'W09|os/store/store_files_win32.cpp|the kept history goes to a folder of another name|s/+ "\\\\stockkun";/+ "\\\\stockkun2";/'
)

touched=()
restore() {
  local f
  for f in "${touched[@]}"; do git checkout -q -- "$f"; done
  touched=()
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

if ! git diff --quiet -- src; then
  echo "src/ has uncommitted changes; commit or stash them first" >&2
  exit 2
fi

want=" $* "
results=()
for entry in "${FAULTS[@]}"; do
  IFS='|' read -r id file what expr <<<"$entry"
  if [ $# -gt 0 ]; then [[ "$want" == *" $id "* ]] || continue; fi
  path="src/$file"
  touched+=("$path")
  sed -i "$expr" "$path"
  if git diff --quiet -- "$path"; then
    results+=("$id|$file|NOT PLANTED (the line is gone)|$what")
    restore
    continue
  fi
  if [ "${DRY:-0}" = 1 ]; then
    results+=("$id|$file|planted (not built)|$what")
    restore
    continue
  fi
  echo "== $id $file: $what" >&2
  # A W fault's tests rebuild build-win/ themselves; $BUILD does not hold its file.
  if [[ $id != W* ]] && ! cmake --build "$BUILD" -j"${JOBS:-2}" >"/tmp/plant-$id.build.log" 2>&1; then
    results+=("$id|$file|build failed (see /tmp/plant-$id.build.log)|$what")
    restore
    continue
  fi
  stop=(--stop-on-failure)
  [ "${FULL:-0}" = 1 ] && stop=()
  labels=$LABELS
  [[ $id == W* ]] && labels=${WIN_LABELS:-windows}
  scripts/with-xvfb.sh ctest --test-dir "$BUILD" -L "$labels" "${stop[@]}" >"/tmp/plant-$id.test.log" 2>&1
  caught=$(sed -n '/The following tests FAILED:/,$p' "/tmp/plant-$id.test.log" |
    sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' | paste -sd' ' -)
  results+=("$id|$file|${caught:-NOT CAUGHT}|$what")
  restore
done

[ "${DRY:-0}" = 1 ] || cmake --build "$BUILD" -j"${JOBS:-2}" >/dev/null 2>&1 || echo "rebuild of the restored tree failed" >&2
printf '%-4s %-38s %-60s %s\n' ID FILE "CAUGHT BY" FAULT
for r in "${results[@]}"; do
  IFS='|' read -r id file caught what <<<"$r"
  printf '%-4s %-38s %-60s %s\n' "$id" "$file" "$caught" "$what"
done
