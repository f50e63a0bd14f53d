#!/bin/bash
# Checks that includes run one way: the portable core (src/core) never
# includes the Windows side or the platform layer (src/platform), which
# includes only the core and which the editor (src/win) and qzotool
# (src/tool) call; inside src/core and src/win no folder includes one above
# its own, and inside a folder no two files include each other. Prints each bad include with where the file
# belongs and exits 1; exits 0 when all is well.
set -u
cd "$(dirname "$0")/.."

# Lowest first; a folder may include its own and the ones before it.
CORE_ORDER=(syntax layout document print prefs image operations exchange)
WIN_ORDER=(base view operations app)
WIN_HEADERS='windows|windowsx|commctrl|commdlg|shlwapi|shellapi|shlobj|imm|ole2|objbase|htmlhelp|mmsystem|uxtheme|win[a-z]*'

rank() {  # rank NAME ORDER... : index in the order, or -1
    local name=$1 i=0
    shift
    for entry in "$@"; do
        [[ $entry == "$name" ]] && { echo $i; return; }
        i=$((i + 1))
    done
    echo -1
}

failures=0
fail() {
    echo "check-layers: $1" >&2
    failures=$((failures + 1))
}

# Where a file outside the layout belongs: the Windows side when it is
# named *_win.* or includes Windows headers, the core otherwise.
where_to() {
    local file=$1 name folder
    name=$(basename "$file")
    folder=$(basename "$(dirname "$file")")
    if [[ $name == *_win.* ]] || grep -qE "^[[:space:]]*#[[:space:]]*include[[:space:]]*(<($WIN_HEADERS)\.h>|\"win/)" "$file"; then
        case $folder in
        app) folder=app ;;
        panes | document) folder=view ;;
        syntax) folder=base ;;
        *) [[ $(rank "$folder" "${WIN_ORDER[@]}") -ge 0 ]] || folder=operations ;;
        esac
        echo "it belongs to the Windows side: src/win/$folder/$name (src/win folders: ${WIN_ORDER[*]})"
    elif (($(rank "$folder" "${CORE_ORDER[@]}") >= 0)); then
        echo "it is portable: src/core/$folder/$name"
    else
        echo "it is portable: src/core/<folder>/$name (src/core folders: ${CORE_ORDER[*]})"
    fi
}

while IFS= read -r file; do
    rel=${file#src/}
    side=${rel%%/*}
    rest=${rel#*/}
    folder=${rest%%/*}
    case $side in
    core | win)
        if [[ $rest != */* ]]; then
            fail "$file: not in a folder of src/$side; $(where_to "$file")"
            continue
        fi
        if [[ $side == core ]]; then own=$(rank "$folder" "${CORE_ORDER[@]}")
        else own=$(rank "$folder" "${WIN_ORDER[@]}"); fi
        if ((own < 0)); then
            fail "$file: src/$side/$folder is no layer; add it to the order in scripts/check-layers.sh, or $(where_to "$file")"
            continue
        fi
        ;;
    platform)
        if [[ $rest == */* ]]; then
            fail "$file: src/platform has no folders; the platform layer is one folder of headers and their Win32 (*_win32.cpp) and POSIX (*_posix.cpp) implementations"
            continue
        fi
        ;;
    tool | resources) ;;
    *)
        fail "$file: outside the layout; $(where_to "$file")"
        continue
        ;;
    esac

    while IFS= read -r line; do
        include=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*//' <<<"$line")
        if [[ $include =~ ^\<($WIN_HEADERS)\.h\>$ ]]; then
            [[ $side == core ]] &&
                fail "$file includes $include: the portable core never includes the Windows side; the file belongs under src/win/<folder>/ (${WIN_ORDER[*]})"
            [[ $side == tool ]] &&
                fail "$file includes $include: qzotool reaches the system through the platform layer (src/platform) only"
            [[ $side == platform && $file == *_posix.* ]] &&
                fail "$file includes $include: a POSIX implementation of the platform layer never includes Windows headers; the Win32 one is *_win32.cpp"
            continue
        fi
        [[ $include =~ ^\"([^\"]*)\"$ ]] || continue
        path=${BASH_REMATCH[1]}
        [[ $path == */* ]] || continue  # a header beside the file
        target=${path%%/*}
        trest=${path#*/}
        tfolder=${trest%%/*}
        case $side/$target in
        core/core)
            t=$(rank "$tfolder" "${CORE_ORDER[@]}")
            ((t >= 0 && t <= own)) ||
                fail "$file includes $include: core/$folder may include only core folders up to its own (${CORE_ORDER[*]}); move the shared part down or this code up"
            ;;
        win/win)
            t=$(rank "$tfolder" "${WIN_ORDER[@]}")
            ((t >= 0 && t <= own)) ||
                fail "$file includes $include: win/$folder may include only win folders up to its own (${WIN_ORDER[*]}); move the shared part down or this code up"
            ;;
        win/core | win/platform | win/resources | tool/core | tool/platform | tool/tool | platform/core | platform/platform) ;;
        core/platform)
            fail "$file includes $include: the portable core never includes the platform layer, which lies above it; pass what the core needs in, or move this code up to src/platform"
            ;;
        core/*)
            fail "$file includes $include: the portable core includes only src/core; the file belongs under src/win/<folder>/ (${WIN_ORDER[*]}) if it needs the Windows side"
            ;;
        platform/*)
            fail "$file includes $include: the platform layer includes only src/core and src/platform; the editor (src/win) and qzotool (src/tool) call it, never the other way"
            ;;
        *)
            fail "$file includes $include: src/$side may not include src/$target"
            ;;
        esac
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find src -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.rc' \) | sort)

# Inside one folder no two files (a header and its source count as one)
# include each other: neither could then be understood, or moved, without
# the other.
for folder in src/core/* src/platform src/win/* src/tool; do
    [[ -d $folder ]] || continue
    edges=$(for file in "$folder"/*.cpp "$folder"/*.h; do
        [[ -e $file ]] || continue
        from=$(basename "${file%.*}")
        grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
            sed -E 's/^[^"]*"([^"]*)".*/\1/' | while IFS= read -r path; do
                [[ ${path%/*} == "${folder#src/}" ]] || continue
                to=$(basename "${path%.h}")
                [[ $to != "$from" ]] && echo "$from $to"
            done
    done | sort -u)
    while read -r a b; do
        [[ -n $a && $a < $b ]] && grep -qx "$b $a" <<<"$edges" &&
            fail "$folder: $a and $b include each other; move what both need into a file of its own, or call one from the other only"
    done <<<"$edges"
done

# The Windows side reaches the editor model one way: editor(), which takes
# the list's selection first; a direct use would see a stale selection
# (document() reads the model's document, which needs no selection).
while IFS= read -r hit; do
    fail "$hit: use editor() (win/view/list_mirror_win.h), not the model itself"
done < <(grep -rnE '\bapp\(\)\.editor\b|\ba\.editor\b' src/win --include='*.cpp' --include='*.h' |
         grep -vE '^src/win/(view/list_mirror_win|base/app_state_win)\.cpp:' | cut -d: -f1,2)

# The editor model owns the document and hands out a const view of it:
# every change goes through the model's functions.
while IFS= read -r hit; do
    fail "$hit: the document is the editor model's; read it through document() (win/base/app_state_win.h), change it through editor()"
done < <(grep -rnE '\bapp\(\)\.doc\b' src --include='*.cpp' --include='*.h' | cut -d: -f1,2)
while IFS= read -r hit; do
    fail "$hit: a const_cast of the document or its lines; change it through the editor model"
done < <(grep -rnE 'const_cast<[[:space:]]*(const[[:space:]]+)?(qz::)?(CardDocument|DataLine)\b' src \
             --include='*.cpp' --include='*.h' | grep -v '^src/core/document/card_document.cpp:' | cut -d: -f1,2)

# Files are replaced in one place, the platform layer's atomic replace.
while IFS= read -r hit; do
    fail "$hit: replacing or renaming files is the platform layer's (replace_file_contents in platform/file_write.h)"
done < <(grep -rnE '\b(MoveFileExA?|MoveFileA?|ReplaceFileA?|GetTempFileNameA?|SetFileInformationByHandle|renameat2?|linkat)\b|std::rename\b' \
             src --include='*.cpp' --include='*.h' | grep -v '^src/platform/' | cut -d: -f1,2)

# The editor and the platform layer speak to Windows in UTF-16: no ANSI
# call (a Win32 name ending in A before its parenthesis) and no conversion
# through the system's code page. ANSI_CALLS=warn only prints them;
# ANSI_CALLS=fail counts them as problems.
ANSI_CALLS=fail
# UNICODE is not defined, so an unsuffixed name of a structure or message
# that has both forms means the ANSI one, and is refused too, as is the
# ANSI name itself.
ansi_structs='LOGFONT|TEXTMETRIC|LVCOLUMN|LVITEM|TCITEM|TTTOOLINFO|TOOLINFO|MENUITEMINFO|PROPSHEETPAGE'
ansi_structs+='|PROPSHEETHEADER|CHOOSEFONT|DOCINFO|DEVMODE|PRINTDLG|PRINTDLGEX|PAGESETUPDLG|OPENFILENAME'
ansi_structs+='|WNDCLASS|WNDCLASSEX|NONCLIENTMETRICS|SHFILEOPSTRUCT|WIN32_FIND_DATA|HDITEM|LVFINDINFO'
ansi_structs+='|NMLVDISPINFO|NMTTDISPINFO|TBBUTTONINFO|TCHAR|LPTSTR|LPCTSTR|LPSTR_TEXTCALLBACK'
ansi_messages='LVM_(INSERTCOLUMN|SETCOLUMN|GETCOLUMN|INSERTITEM|SETITEM|GETITEM|SETITEMTEXT|GETITEMTEXT'
ansi_messages+='|FINDITEM|GETSTRINGWIDTH|EDITLABEL)|LVN_(GETDISPINFO|SETDISPINFO|ODFINDITEM|GETINFOTIP)'
ansi_messages+='|TTN_(GETDISPINFO|NEEDTEXT)|SB_(SETTEXT|GETTEXT|GETTEXTLENGTH|SETTIPTEXT|GETTIPTEXT)'
ansi_messages+='|TB_(ADDSTRING|ADDBUTTONS|INSERTBUTTON|GETBUTTONINFO|SETBUTTONINFO|GETBUTTONTEXT)'
ansi_messages+='|TCM_(INSERTITEM|SETITEM|GETITEM)|TTM_(ADDTOOL|DELTOOL|UPDATETIPTEXT|SETTOOLINFO'
ansi_messages+='|GETTOOLINFO|GETTEXT|SETTITLE|NEWTOOLRECT|HITTEST)|HDM_(INSERTITEM|GETITEM|SETITEM)'
ansi_names="\\b[A-Z][A-Za-z0-9]*[a-z0-9]A[[:space:]]*\\(|\\bMAKEINTRESOURCEA\\b|\\bCP_ACP\\b"
ansi_names+="|\\b($ansi_structs|$ansi_messages)A?\\b|\\b(TEXT|_T)\\("
ansi_hits=0
while IFS= read -r hit; do
    ansi_hits=$((ansi_hits + 1))
    if [[ $ANSI_CALLS == fail ]]; then
        fail "$hit: an ANSI call or the system's code page; use the W function and win/base/wide_win.h (src/win) or the UTF-8 paths of the platform layer"
    else
        echo "check-layers: warning: $hit: an ANSI call or the system's code page" >&2
    fi
done < <(grep -rnE "$ansi_names" src/win src/platform \
             --include='*.cpp' --include='*.h' | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//' | cut -d: -f1,2)

if ((failures > 0)); then
    echo "check-layers: $failures problem(s); includes must run one way (see README, Layout)" >&2
    exit 1
fi
echo "check-layers: includes run one way"
