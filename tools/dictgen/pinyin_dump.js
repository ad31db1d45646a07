// Prints, as JSON, every reading pinyin-pro knows for each character read from
// standard input, in the library's own order (its most common reading first).
// Usage: node pinyin_dump.js <unpacked pinyin-pro package folder> < chars
"use strict";
const path = require("path");
const fs = require("fs");
const { pinyin } = require(path.resolve(process.argv[2], "dist", "index.js"));

const out = {};
for (const ch of fs.readFileSync(0, "utf8")) {
  out[ch] = pinyin(ch, { multiple: true, type: "array" });
}
process.stdout.write(JSON.stringify(out));
