# Makes English the untranslated default of a desktop entry or an AppStream metainfo file that
# msgfmt --desktop / --xml filled from po/en.po: the sources are Czech, so msgfmt writes the Czech
# text as the default and adds the English as [en] / xml:lang="en". Here the English becomes the
# default and the Czech is kept as [cs] / xml:lang="cs", which is what desktops show to a Czech
# reader. Usage: awk -v kind=desktop|xml -f english-default.awk IN > OUT (for desktop, IN twice).
# In the metainfo source every translated element sits on one line.

kind == "desktop" && FNR == NR {
    if (match($0, /^[A-Za-z]+\[en\]=/)) english[substr($0, 1, RLENGTH - 5)] = substr($0, RLENGTH + 1)
    next
}
kind == "desktop" {
    if ($0 ~ /^[A-Za-z]+\[en\]=/) next
    key = $0
    sub(/=.*/, "", key)
    if (index($0, "=") && key in english) {
        czech = substr($0, length(key) + 2)
        print key "=" english[key]
        if (czech != english[key]) print key "[cs]=" czech
        next
    }
    print
    next
}

kind == "xml" {
    if (match($0, /<[a-z_]+ xml:lang="en">/)) {
        tag = substr($0, RSTART + 1, RLENGTH - 16)
        if (held !~ ("^ *<" tag ">.*</" tag ">$")) {
            print "english-default: the text before line " FNR " is not one <" tag "> line" > "/dev/stderr"
            failed = 1
            exit 1
        }
        translated = $0
        sub(/ xml:lang="en">/, ">", translated)
        czech = held
        sub("<" tag ">", "<" tag " xml:lang=\"cs\">", czech)
        print translated
        if (translated != held) print czech
        haveHeld = 0
        next
    }
    if (haveHeld) print held
    held = $0
    haveHeld = 1
}
END {
    if (kind == "xml" && haveHeld && !failed) print held
}
