#!/usr/bin/env bash
# The installed game: the Debian package is built from this build, unpacked into a temporary root
# and started from an unrelated folder with a fresh home folder (no XDG variables). It paints its
# menu, speaks English when asked, lists a level of the player's in MODS and plays it (its own background, a shipped wall
# texture), and EXIT writes the settings to ~/.config/zib/ZIB.ini.
# Regions and colours are words, passed unquoted (see lib.sh); GAME is read by lib.sh.
# shellcheck disable=SC2034,SC2086
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

start_xvfb

log "building the package"
(cd "$ZIB_BUILD" && cpack -G DEB -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1) ||
    fail "cpack failed: $(tail -n 20 "$WORK/cpack.log")"
deb=$(find "$WORK/pkg" -maxdepth 1 -name 'zib_*_*.deb' | head -n1)
[ -n "$deb" ] || fail "no zib_<version>_<arch>.deb was built"
log "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb -x "$deb" "$WORK/root"
for f in usr/games/zib usr/games/zibsim usr/games/zib-server usr/share/games/zib/baseq7/Sound \
    usr/share/man/man6/zib.6.gz usr/share/man/man6/zibsim.6.gz usr/share/man/man6/zib-server.6.gz \
    usr/share/man/cs/man6/zib.6.gz usr/share/man/cs/man6/zibsim.6.gz \
    usr/share/man/cs/man6/zib-server.6.gz usr/share/games/zib/baseq7/menu/helptext-en.bmp \
    usr/lib/systemd/system/zib-server.service \
    usr/share/applications/net.zib_hra.zib.desktop usr/share/metainfo/net.zib_hra.zib.metainfo.xml \
    usr/share/icons/hicolor/16x16/apps/net.zib_hra.zib.png \
    usr/share/icons/hicolor/256x256/apps/net.zib_hra.zib.png \
    usr/share/icons/hicolor/scalable/apps/net.zib_hra.zib.svg \
    usr/share/doc/zib/copyright usr/share/doc/zib/changelog.gz \
    usr/share/locale/en/LC_MESSAGES/zib.mo; do
    [ -e "$WORK/root/$f" ] || fail "the package lacks /$f"
done
[ -z "$(find "$WORK/root" -name ZIB.ini)" ] || fail "the package carries a ZIB.ini"
# The server's unit is installed, never enabled by the package: no link in a .wants folder.
[ -z "$(find "$WORK/root" -path '*.wants*')" ] || fail "the package enables a unit"
"$WORK/root/usr/games/zib-server" --version | grep -qx "zib-server [0-9.]*" ||
    fail "zib-server --version"
# The menu entry is English with its Czech beside it; the English manual page is the main one.
desktop="$WORK/root/usr/share/applications/net.zib_hra.zib.desktop"
if ! grep -qx 'GenericName=Snake Game' "$desktop" || ! grep -qx 'GenericName\[cs\]=Hra s hady' "$desktop"; then
    fail "the desktop entry lacks its English default or its Czech: $(cat "$desktop")"
fi
zcat "$WORK/root/usr/share/man/man6/zib.6.gz" | grep -q '^\.SH DESCRIPTION' ||
    fail "man6/zib.6 is not the English page"
zcat "$WORK/root/usr/share/man/cs/man6/zib.6.gz" | grep -q '^\.SH POPIS' ||
    fail "cs/man6/zib.6 is not the Czech page"
# The installed program finds its English catalogue, with no English locale needed.
env -u ZIB_LANGUAGE LANGUAGE=en LANG=C "$WORK/root/usr/games/zib" --help | grep -q "^Usage: zib" ||
    fail "the installed zib --help is not English under LANGUAGE=en"

# A fresh home with one level of the player's: its background beside it, its wall texture shipped.
export HOME="$WORK/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME
levels="$HOME/.local/share/zib/levels"
mkdir -p "$levels" "$WORK/elsewhere"
printf '"zelena.bmp",200,300,0,-1\r\n600,300,0,1\r\n300,500,500,520,"drevo.jpg"\r\n' >"$levels/Aaamoje.zq7"
convert -size 50x50 xc:'#00ff00' -type TrueColor "BMP3:$levels/zelena.bmp"

GAME="$WORK/root/usr/games"
start_zib "$WORK/elsewhere"
log "the installed program shows its menu"

# MODS: the player's level is the first row; a click chooses it and Enter starts it.
ROWS="376 80 150 184"
click_at 140 150
wait_for "the mods panel" 10 shot_has $ROWS $DARK 50
click_at 420 94
key Return
wait_for "the game field" 10 menu_hidden
GREEN="0 60 200 255 0 60"
wait_for "the player's green background" 10 shot_has 250 50 300 150 $GREEN 20000
has 320 503 160 14 $GREEN && fail "the wall shows no shipped texture"
log "the player's level plays with its own and the shipped pictures"
key Escape
wait_for "the menu after Esc" 10 menu_shown

type_text exit
wait_exit
ini="$HOME/.config/zib/ZIB.ini"
[ -f "$ini" ] || fail "EXIT did not write $ini"
[ "$(wc -l <"$ini")" -eq 2 ] || fail "ZIB.ini has not two lines: $(cat -A "$ini")"
sed -n 2p "$ini" | grep -q ',Aaamoje.zq7,' || fail "the chosen level is not in ZIB.ini: $(cat "$ini")"
[ -z "$(find "$WORK/elsewhere" "$WORK/root" -iname 'zib.ini*')" ] || fail "ZIB.ini written elsewhere"
log "passed"
