#!/usr/bin/perl
# Writes a large version-1 database with Debian's libfile-keepass-perl, an independent writer:
# ENTRIES entries in groups of 1,000.
# Usage: perl bench/write-version1-database.pl OUT-FILE ENTRIES PASSWORD ROUNDS
use strict;
use warnings;
use File::KeePass;

my ($out, $entries, $password, $rounds) = @ARGV;
die "usage: write-version1-database.pl OUT-FILE ENTRIES PASSWORD ROUNDS\n" unless defined $rounds;
my $per_group = 1000;

my $keepass = File::KeePass->new;
my $group;
for my $number (0 .. $entries - 1) {
    if ($number % $per_group == 0) {
        $group = $keepass->add_group({ title => 'Group ' . ($number / $per_group), icon => 0 });
    }
    $keepass->add_entry({
        group    => $group,
        title    => "Account $number",
        username => "user$number\@example.org",
        password => "pw-$number-" . (($number * 7919) % 100003),
        url      => 'https://service' . ($number % 977) . '.example.org/login',
        comment  => "Entry number $number, written for the benchmarks.",
        icon     => 0,
    });
}
$keepass->save_db($out, $password, { rounds => $rounds });
