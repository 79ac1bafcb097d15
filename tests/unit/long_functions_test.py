#!/usr/bin/env python3
"""scripts/long-functions on small files: a function is measured from its name to its closing brace,
whatever braces its head, its comments, its strings or its lambdas hold, and only one over the limit
fails the check."""
import os
import subprocess
import sys
import tempfile

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "long-functions")


def measure(text, limit):
    with tempfile.TemporaryDirectory() as root:
        with open(os.path.join(root, "a.cpp"), "w") as out:
            out.write(text)
        done = subprocess.run([sys.executable, SCRIPT, "--root", root, "--limit", str(limit), "a.cpp"],
                              capture_output=True, text=True)
        return done.returncode, [line.split() for line in done.stdout.splitlines()[:-1]]


SOURCE = """namespace qvl {
class Link {
public:
    Link(int a) : a_(a), b_{2} {
        auto f = [this] { return a_; };
    }
    int Get() const override { return a_; } // {
private:
    int a_{0};
    const char* text_ = "}";
};
bool Link::Open(int port,
                int speed) {
    if (port) {
        return '{';
    }
    /* } */
    return false;
}
}
"""

cases = [
    ("nothing over the limit", 8, 0, []),
    ("Open and the constructor over 2 lines", 2, 1, [["8", "a.cpp:12", "Link::Open"], ["3", "a.cpp:4", "Link"]]),
]
failed = 0
for name, limit, code, expected in cases:
    got_code, got = measure(SOURCE, limit)
    if (got_code, got) != (code, expected):
        failed += 1
        print(f"FAIL {name}: exit {got_code}, {got}")
    else:
        print(f"ok   {name}")
sys.exit(1 if failed else 0)
