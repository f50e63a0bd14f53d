#!/usr/bin/env bash
# Takes the screenshots of the help pages (help/images/*.png) from the real
# program under Wine in a virtual display, driving it with the keyboard
# (xdotool). A window that does not open (a command the program does not
# have yet) is skipped with a note; a page shows a picture only when its
# <img> names one. Run again after changing a window.
#   scripts/help-screenshots.sh [OUTPUT_DIR]     (default help/images)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-help/images}")
scripts/setup.sh xdotool imagemagick
cmake --preset windows >/dev/null
cmake --build --preset windows --target qzoedit >/dev/null
mkdir -p "$out"

build=$PWD/build/windows
source scripts/wine-env.sh
wine_env "$build/wineprefix-shots"
scripts/wine-prefix.sh --unmanaged
# A fresh settings file, so every run starts from the same window layout.
work=$(mktemp -d)
cp "$build/qzoedit.exe" "$build/QZOEDIT.CHM" samples/sample.qzf samples/map.bmp samples/flag.png "$work/"
# A file of another card tool for the import dialog: header lines, a tag
# that names a group of the sample, a character Shift-JIS lacks and a row
# with more fields than columns.
printf '%s\n' '#separator:Tab' '#html:false' $'#columns:Front\tBack\tTags\tDeck' \
    $'apple\tりんご\t難問\t果物の英語' $'banana\tバナナ\t\t果物の英語' \
    $'cherry\tさくらんぼ 🍒\t\t果物の英語' $'grape\tぶどう\t\t果物の英語\t余分な列' \
    $'red\t赤\t\t色の英語' $'blue\t[青|青い]\t\t色の英語' >"$work/cards.tsv"
printf '[Window]\r\nShow=1\r\nLeft=0\r\nTop=0\r\nWidth=760\r\nHeight=520\r\nListWidth=330\r\n' >"$work/QZOEDIT.INI"

on_exit 'rm -rf "$work"'
start_display

(cd "$work" && exec env LC_ALL=ja_JP.UTF-8 "$wine" qzoedit.exe sample.qzf) &

# The newest visible window whose title is exactly $1, waiting up to 10 s.
window() {
    local id
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1 || true)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}
key() { xdotool key --delay 120 "$@"; sleep 0.8; }
shot() { import -window "$1" -strip "$out/$2.png" && echo "$2.png"; }
# Opens a window with keys $3..., shoots it as $2 and closes it with Esc.
dialog() {
    local title=$1 name=$2 id
    shift 2
    key "$@"
    if id=$(window "$title"); then
        shot "$id" "$name"
        key Escape
    else
        echo "skipped $name: no window \"$title\""
    fi
}
# Shows line $1 (its index) of the sample in the pane.
line() {
    xdotool mousemove --window "$main" 40 120 click 1
    key ctrl+Home
    [[ $1 -gt 0 ]] && key $(printf 'Down %.0s' $(seq "$1"))
    sleep 0.5
}

main=$(window "sample.qzf - Quizo Editor" || window ".*Quizo Editor")
sleep 2
line 15 && shot "$main" main_window && cp "$out/main_window.png" "$out/pane_question.png"
line 14 && shot "$main" pane_title
line 4 && shot "$main" pane_group
line 6 && shot "$main" pane_message
line 7 && shot "$main" pane_font
line 15
# Import: the file dialog (captioned like the import dialog) given the
# file's name, then the import dialog over it; export.
if key alt+f m && window "インポート" >/dev/null; then
    xdotool type --delay 80 "cards.tsv"
    key Return
    sleep 1
    if id=$(window "インポート"); then
        shot "$id" import
        key Escape
    else
        echo "skipped import: the file was not read"
    fi
else
    echo "skipped import: no window \"インポート\""
fi
dialog "エクスポート" export alt+f e
dialog "検索" find ctrl+f
key ctrl+f
dialog "検索条件" conditions alt+c
key Escape
dialog "選択" select alt+c e
dialog "並べ替え" sort alt+c o
dialog "グループ一括変更" group_change alt+e g
dialog "データ情報" data_info alt+f i
dialog "カスタマイズ" customize_ime alt+v c
# The second page: a click on its tab.
if key alt+v c && id=$(window "カスタマイズ"); then
    xdotool mousemove --window "$id" 112 46 click 1
    sleep 0.8
    shot "$id" customize_fonts
    key Escape
fi
# The main window takes keys again only a while after the sheet closed.
sleep 2
dialog "ページ設定" page_setup alt+f t
dialog "印刷プレビュー" print_preview alt+f v
dialog "問題チェック" problem_check alt+c k
dialog "画像の確認" media_check alt+c i
# The replace dialog with texts typed in, over the sample.
line 15
if key ctrl+h && id=$(window "置換"); then
    xdotool type --delay 80 "map.bmp"
    key Tab
    xdotool type --delay 80 "japan.bmp"
    sleep 0.5
    shot "$id" replace
    key Escape
else
    echo "skipped replace: no window \"置換\""
fi
# The marks window over the sample, and the history reset dialog.
if key alt+c m && id=$(window "成績"); then
    shot "$id" marks
    key Escape
else
    echo "skipped marks: no window \"成績\""
fi
dialog "履歴をリセット" reset_history alt+c h
# The customize sheet's recovery page: the third tab.
if key alt+v c && id=$(window "カスタマイズ"); then
    xdotool mousemove --window "$id" 165 46 click 1
    sleep 0.8
    shot "$id" customize_recovery
    key Escape
fi
# Cards in the print preview: a front and a back; the page setup set back
# to the list afterwards.
if key alt+f t && id=$(window "ページ設定"); then
    key alt+2 Return
    if key alt+f v && id=$(window "印刷プレビュー"); then
        sleep 2
        shot "$id" cards_front
        key Next
        sleep 2
        shot "$id" cards_back
        key Escape
    fi
    key alt+f t
    window "ページ設定" >/dev/null && key alt+1 Return
fi
# The offer of a recovery file left by an editor that died: the editor
# started again on the sample, with a recovery file newer than it.
wineserver -k >/dev/null 2>&1 || true
sleep 1
cp "$work/sample.qzf" "$work/~\$sample.qzf.recover"
touch -d '1 hour ago' "$work/sample.qzf"
(cd "$work" && exec env LC_ALL=ja_JP.UTF-8 "$wine" qzoedit.exe sample.qzf) &
# The main window has that caption too until a file is open: the box is
# the one shown after it.
sleep 4
if id=$(window "Quizo Editor"); then
    shot "$id" recovery
    key Escape
else
    echo "skipped recovery: no window \"Quizo Editor\""
fi
