# Bash completion for tarnwell, the GNU way: options, a folder for the operand, the example
# patterns after --names. Numbers and sizes are the user's to type. A command line whose
# first argument is no option is read the Windows way, so the first word completes to an
# option only, and a Windows-style command line gets nothing.
#
# Self-contained (no bash-completion helpers), so that a plain bash can source it and call
# _tarnwell with COMP_WORDS and COMP_CWORD set.

_tarnwell() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} option="" prefix="" i
  local options="--older-than= --keep= --names= --depth= --max-size= --min-free= --rules
    --dry-run --list --quiet --json --help --version"
  local patterns=('u_ex{yyMMdd}.log' 'u_ex{yyMMdd}.log|u_ex{yyMMddHH}.log' '*-{yyyy-MM-dd}.log'
    '*.{yyyy-MM-dd}.log.gz' 'log{yyyyMMdd}.txt' '*.log-{yyyyMMdd}' '*_{yyyyMMdd_HHmmss}.log')
  COMPREPLY=()
  if ((COMP_CWORD > 1)) && [[ ${COMP_WORDS[1]} != -* ]]; then return; fi

  # "=" breaks words by default: --names=u_ex reaches here as "--names" "=" "u_ex".
  if [[ $cur == = ]]; then
    option=$prev cur=""
  elif [[ $prev == = ]] && ((COMP_CWORD >= 2)); then
    option=${COMP_WORDS[COMP_CWORD - 2]}
  elif [[ $cur == --*=* ]]; then  # where "=" breaks no word, the reply keeps the option
    option=${cur%%=*} prefix=${cur%%=*}= cur=${cur#*=}
  else
    case $prev in
      -d | -k | --older-than | --keep | --names | --depth | --max-size | --min-free) option=$prev ;;
    esac
  fi
  case $option in
    --names)
      # Bash quotes what it inserts as it quotes file names: "|" is a pipe and "*" a
      # wildcard to the shell. What was typed is compared without its quoting.
      local typed=${cur#[\'\"]} pattern
      typed=${typed//\\/}
      for pattern in "${patterns[@]}"; do
        [[ $pattern == "$typed"* ]] && COMPREPLY+=("$prefix$pattern")
      done
      compopt -o filenames 2>/dev/null
      return
      ;;
    -?*) return ;;
  esac

  for ((i = 1; i < COMP_CWORD; i++)); do
    [[ ${COMP_WORDS[i]} == -- ]] && break
  done
  if ((i == COMP_CWORD)) && [[ $cur == -* || $COMP_CWORD == 1 ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    if [[ ${#COMPREPLY[@]} == 1 && ${COMPREPLY[0]} == *= ]]; then compopt -o nospace 2>/dev/null; fi
    return
  fi
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -d -- "$cur")
}
complete -F _tarnwell tarnwell
