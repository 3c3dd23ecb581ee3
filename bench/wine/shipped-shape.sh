# Sourced by the Wine benchmarks: a payload of the shipped shape made from a demo stage.
#
# shipped_stage DEMO_STAGE STAGE: STAGE becomes the demo's thirteen other files and a vendora.exe that
# brings the inflated archive to the shipped 4,433,637 bytes (the demo's font and pictures are larger than
# the shipped ones, so the program is a little smaller than the shipped 4,343,808 bytes): the stand-in
# followed by bytes that deflate about as the shipped program does (48 random bytes from a fixed start,
# then 64 repeated ones). Packed at zlib level 1, as the shipped archive is, it makes about 2.0 MB.
shipped_stage() {
    local demo=$1 stage=$2 others size
    rm -rf "$stage"
    cp -r "$demo" "$stage"
    others=$(($(du -cb "$stage"/* | tail -n 1 | cut -f1) - $(stat -c %s "$stage/vendora.exe")))
    size=$((4433637 - 5 - 14 * 38 - others))
    perl -e '
        my ($standin, $size) = @ARGV;
        open(my $in, "<:raw", $standin) or die "$standin: $!";
        local $/; my $bytes = <$in>; close $in;
        my $state = 20100602;
        my $pattern = pack("C*", map { ($_ * 37) % 256 } 0 .. 63);
        while (length($bytes) < $size) {
            my $random = "";
            for (1 .. 48) { $state = ($state * 1103515245 + 12345) % 2147483648; $random .= chr($state >> 23); }
            $bytes .= $random . $pattern;
        }
        binmode STDOUT; print substr($bytes, 0, $size);
    ' "$demo/vendora.exe" "$size" >"$stage/vendora.exe.new"
    mv "$stage/vendora.exe.new" "$stage/vendora.exe"
}
