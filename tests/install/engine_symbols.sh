#!/usr/bin/env bash
# What the engine library puts into a program's or a shared object's names.
#   engine_symbols.sh archive libars_engine.a
#     every global symbol it defines is in namespace ars (or an instantiation
#     of the standard library's or pcg's templates): nothing of the window
#     and no global names that could clash with a user's;
#   engine_symbols.sh consumer libuser.so
#     a shared object built with -fvisibility=hidden that links the static
#     engine exports nothing of namespace ars;
#   engine_symbols.sh shared libars_engine.so
#     a shared engine exports the public API and nothing else of ars.
set -euo pipefail
mode=$1 file=$2
[ -f "$file" ] || { echo "engine_symbols: no file $file" >&2; exit 1; }

# The outermost namespace or class of a mangled name: ars, St (std), a
# global name, ... Special names (vtable, typeinfo, guard variables) and
# local entities are looked through.
owner() {
  local m=$1
  m=${m#_Z}
  case $m in T[VISTHW]*|GV*) m=${m:2} ;; esac
  case $m in Z*) m=${m:1} ;; esac
  case $m in N*) m=${m:1}; while [[ $m == [rVKRO]* ]]; do m=${m:1}; done ;; esac
  # St is std::, Sa Sb Ss Si So Sd its abbreviated allocator, basic_string and streams.
  if [[ $m == S[tabsiod]* ]]; then echo std; return; fi
  # The global operators new and delete (placement forms are inline, and weak
  # where not inlined).
  if [[ $m == [nd][wal]* ]]; then echo operator; return; fi
  if [[ $m =~ ^([0-9]+) ]]; then
    local n=${BASH_REMATCH[1]}
    echo "${m:${#n}:$n}"
  else
    echo "?$m"
  fi
}

failures=0
case $mode in
  archive)
    # Global (upper-case type) defined symbols of every member.
    while read -r type name; do
      # Names the implementation reserves (sanitizers' instrumentation) clash
      # with no user's; DW.ref.X is the unwinder's reference to X.
      case $name in DW.ref.__gxx_personality_v0|__*) continue ;; DW.ref.*) name=${name#DW.ref.} ;; esac
      if [[ $name != _Z* ]]; then
        echo "engine_symbols: $file defines the C symbol $name" >&2; failures=$((failures + 1)); continue
      fi
      who=$(owner "$name")
      case $who in
        ars) ;;
        std|__gnu_cxx|pcg_detail|pcg_extras|operator)
          # Template instantiations and inline functions are weak; a strong definition would be ours.
          [[ $type == [WVu] ]] || { echo "engine_symbols: $file defines $(c++filt "$name") ($type)" >&2; failures=$((failures + 1)); } ;;
        *) echo "engine_symbols: $file defines $(c++filt "$name") outside namespace ars" >&2; failures=$((failures + 1)) ;;
      esac
    done < <(nm --defined-only "$file" | awk 'NF == 3 && $2 ~ /^[A-Z]$|^u$/ { print $2, $3 }')
    ;;
  consumer)
    while read -r name; do
      echo "engine_symbols: $file exports $name" >&2; failures=$((failures + 1))
    done < <(nm -D --defined-only -C "$file" | awk '{ $1 = ""; $2 = ""; sub(/^  /, ""); print }' | grep -E '(^| )ars::' || true)
    ;;
  shared)
    # Of namespace ars, the public classes and the functions the installed
    # headers declare; instantiations of std's templates are std's.
    public='^(typeinfo for |typeinfo name for |vtable for )?ars::(LogConcaveSampler|TConcaveSampler|NotLogConcave|Envelope|SamplerCounts)(::|$| )|^ars::detail::(toT|fromT|lineArea)\('
    exported=0 api=0
    while read -r name; do
      [[ $name == __* ]] && continue
      case $(owner "$name") in
        ars) ;;
        std|__gnu_cxx|pcg_detail|pcg_extras|operator) continue ;;
        *) echo "engine_symbols: $file exports $(c++filt "$name") outside namespace ars" >&2
           failures=$((failures + 1)); continue ;;
      esac
      exported=$((exported + 1))
      plain=$(c++filt "$name" | sed -E 's/^[^ (]+ (ars::)/\1/')
      [[ $plain == "ars::LogConcaveSampler::sample()" ]] && api=1
      [[ $plain =~ $public ]] || { echo "engine_symbols: $file exports $plain" >&2; failures=$((failures + 1)); }
    done < <(nm -D --defined-only "$file" | awk 'NF == 3 { print $3 }')
    if [ "$api" -eq 0 ]; then
      echo "engine_symbols: $file does not export ars::LogConcaveSampler::sample()" >&2; failures=$((failures + 1))
    fi
    echo "engine_symbols: $exported symbols of ars exported"
    ;;
  *) echo "usage: engine_symbols.sh archive|consumer|shared FILE" >&2; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "engine_symbols: $failures symbols in the wrong place in $file" >&2
  exit 1
fi
echo "engine_symbols: $mode $file: names in place"
