# bash completion for the Quorvex Command Pack: installed once and linked
# under each tool's name, where bash-completion looks for it.

# Folders, and the files whose names end (in any case) in one of the
# suffixes, or every file when none is given; one a line, blanks kept.
_quorvex_command_pack_paths() {
  local cur=$1 name lower suffix
  shift
  compgen -d -- "$cur"
  while IFS= read -r name; do
    [[ -d $name ]] && continue
    [[ $# -eq 0 ]] && { printf '%s\n' "$name"; continue; }
    lower=${name,,}
    for suffix; do
      [[ $lower == *"$suffix" ]] && { printf '%s\n' "$name"; break; }
    done
  done < <(compgen -f -- "$cur")
}

# The window tools take the rest of the line as one caption: what has been
# typed after the tool's name is matched against the open windows' captions
# (regardless of case), and the current word is completed to the rest of it.
_quorvex_command_pack_captions() {
  local tool=$1 cur=$2 typed caption
  typed=${COMP_LINE:0:COMP_POINT}
  typed=${typed#*"$tool"}
  typed=${typed# }
  while IFS= read -r caption; do
    [[ ${caption,,} == "${typed,,}"* ]] || continue
    printf '%s\n' "$cur${caption:${#typed}}"
  done < <("$tool" --list-captions 2>/dev/null; printf '0\n')
}

_quorvex_command_pack() {
  local cur=${COMP_WORDS[COMP_CWORD]} word=$COMP_CWORD
  COMPREPLY=()
  if [[ $word -eq 1 && $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '--help --version' -- "$cur")
    return
  fi
  local paths=()
  case ${1##*/}:$word in
    PaneShut:* | PaneRevive:* | PaneShrink:* | PaneGrow:* | PanePin:* | PaneUnpin:*)
      # The captions of the windows open now, and 0 for the active one.
      mapfile -t COMPREPLY < <(_quorvex_command_pack_captions "$1" "$cur") ;;
    TrashPurge:1)
      compopt -o filenames 2>/dev/null
      mapfile -t COMPREPLY < <(compgen -d -- "$cur") ;;
    TrashPurge:2 | NoticeShow:1)
      mapfile -t COMPREPLY < <(compgen -W '0 1 2 3' -- "$cur") ;;
    Start:1 | MovieShow:1)
      mapfile -t COMPREPLY < <(compgen -W '0' -- "$cur") ;;
    Start:* | MovieShow:2 | FileShow:1)
      paths=(any) ;;
    PictureShow:1)
      mapfile -t COMPREPLY < <(compgen -W '0 5 10 30 65' -- "$cur") ;;
    PictureShow:2)
      paths=(.jpg .jpeg .gif .bmp .png) ;;
    WaveOnce:1 | WaveRepeat:1)
      paths=(.wav) ;;
  esac
  if [[ ${#paths[@]} -gt 0 ]]; then
    compopt -o filenames 2>/dev/null
    [[ ${paths[0]} == any ]] && paths=()
    mapfile -t COMPREPLY < <(_quorvex_command_pack_paths "$cur" "${paths[@]}")
  fi
}
# The build names every declared tool here (cmake/packaging.cmake).
complete -F _quorvex_command_pack @QCP_COMPLETED_TOOLS@
