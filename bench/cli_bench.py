#!/usr/bin/env python3
"""Benchmark of tarvisk-lookup: a megabyte of Chinese text, start to finish (start-up, reading the four dictionaries,
converting, looking up, writing), in each output format.

    bench/cli_bench.py [PROGRAM] [--runs N]

PROGRAM defaults to build/bench/bin/tarvisk-lookup: build it without sanitizers first (README, "Benchmark"). The text
is 1,048,576 bytes of UTF-8: characters drawn by their frequency weights (bench/weights.txt, the order of the
dictionaries), with Chinese punctuation and a line end now and then, the same text on every run.
"""
import argparse
import pathlib
import random
import statistics
import subprocess
import tempfile
import time

REPO = pathlib.Path(__file__).resolve().parents[1]
SIZE = 1 << 20


def passage():
    characters, weights = [], []
    for line in (REPO / "bench/weights.txt").read_bytes().splitlines():
        character, weight = line.split()
        characters.append(character.decode("gbk"))
        weights.append(int(weight))
    pick = random.Random(86)
    text = []
    size = 0
    while size < SIZE:
        sentence = "".join(pick.choices(characters, weights, k=pick.randint(6, 30)))
        sentence += pick.choice("，，，。。、；：！？") + ("\n" if pick.random() < 0.2 else "")
        text.append(sentence)
        size += len(sentence.encode())
    return "".join(text).encode()[:SIZE].decode(errors="ignore").encode()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", nargs="?", default=str(REPO / "build/bench/bin/tarvisk-lookup"))
    parser.add_argument("--runs", type=int, default=7)
    arguments = parser.parse_args()
    text = passage()
    with tempfile.TemporaryDirectory() as scratch:
        source = pathlib.Path(scratch) / "passage.txt"
        source.write_bytes(text)
        print(f"{len(text):,} bytes, {len(text.decode()):,} characters; {arguments.runs} runs each, start to finish")
        for options in (["-f", "text"], ["-f", "tsv"], ["-f", "json"], ["-f", "tsv", "-c", "86,98,rare,pinyin"]):
            times = []
            for _ in range(arguments.runs):
                with open(source, "rb") as given, open(pathlib.Path(scratch) / "out", "wb") as out:
                    started = time.perf_counter()
                    status = subprocess.run([arguments.program, "--data", str(REPO / "data"), *options],
                                            stdin=given, stdout=out).returncode
                    times.append(time.perf_counter() - started)
                if status not in (0, 1):
                    raise SystemExit(f"{arguments.program} ended with {status}")
            rows = (pathlib.Path(scratch) / "out").read_bytes().count(b"\n")
            print(f"{' '.join(options):32} best {min(times) * 1000:7.1f} ms   median "
                  f"{statistics.median(times) * 1000:7.1f} ms   {rows:,} lines out")


if __name__ == "__main__":
    main()
