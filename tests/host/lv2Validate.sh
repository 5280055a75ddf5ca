#!/bin/sh
# Validates the built LV2 bundle's Turtle files against the installed LV2 specs.
# The framework's own generator writes a few statements the validator rejects
# (doap properties on a subject not typed doap:Project, two UI extension terms,
# and the preset state key of the single program); any other error fails.
set -u
bundle="$1"

report="$(lv2_validate "$bundle"/*.ttl 2>&1)"
status=$?

errors="$(printf '%s\n' "$report" | awk '
    /^(error|warning):/ { if (record != "") print record; record = $0; next }
    /^Found / { next }
    record != "" && /^ / { record = record " " $0; next }
    END { if (record != "") print record }')"

unexpected="$(printf '%s\n' "$errors" | grep -v \
    -e 'doap#maintainer' -e 'doap#release' \
    -e 'ui#noUserResize' -e 'options#interface' \
    -e 'plugins/tumblewisp:Program' | grep . )"

printf '%s\n' "$errors"

if [ -n "$unexpected" ]; then
    echo "Errors not caused by the framework's generator:" >&2
    printf '%s\n' "$unexpected" >&2
    exit 1
fi

if [ "$status" -ne 0 ] && [ -z "$errors" ]; then
    echo "lv2_validate failed without reporting an error" >&2
    exit 1
fi

echo "lv2_validate: only the framework generator's known findings"
