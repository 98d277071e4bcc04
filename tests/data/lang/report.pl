#!/usr/bin/perl
# Summarise a log file: this sub-less comment mentions sub fake { too.
use strict;
require "util.pl";

my %count;
my $glob = glob('/tmp/*.log');

sub read_log {
    my ($file) = @_;
    open(my $fh, '<', $file) or die "cannot open $file: $!";
    while (<$fh>) {
        $count{$1}++ if /level=(\w+)/;   # sub inside a comment
    }
    close($fh);
}

sub Report::print_summary {
    my $handler = sub { print "anonymous\n"; };
    foreach my $k (sort keys %count) {
        printf "%-10s %d\n", $k, $count{$k};
    }
}

my $s = "sub not_a_sub {";

=pod

=head1 sub documented_only

Not code.

=cut

sub main { read_log($_) for @ARGV; Report::print_summary(); }

main();

__END__
sub after_end { }
