// Writes identity numbers with the verdict of the npm package "personnummer",
// one "<text>\t<1|0>" line each, as an independent check of our own rules.
// The numbers come from a fixed-seed generator, so every run judges the same set.
'use strict';
const pkg = require('personnummer');
const Personnummer = pkg.default || pkg;

let seed = 20261210;
const random = (n) => {  // 0..n-1 from the high bits of a 32-bit linear congruential generator
  seed = (Math.imul(seed, 1664525) + 1013904223) >>> 0;
  return Math.floor((seed / 4294967296) * n);
};
const pad = (value, width) => String(value).padStart(width, '0');
const luhnDigit = (digits) => {
  let sum = 0;
  for (let i = 0; i < digits.length; i++) {
    let v = Number(digits[i]) * (i % 2 === 0 ? 2 : 1);
    if (v > 9) v -= 9;
    sum += v;
  }
  return (10 - (sum % 10)) % 10;
};

const lines = [];
for (let i = 0; i < 4000; i++) {
  const year = 1850 + random(176);
  const month = random(10) === 0 ? random(14) : 1 + random(12);  // now and then 0 or 13
  let day;
  switch (random(6)) {
    case 0: day = 28 + random(5); break;    // month ends, 32 included
    case 1: day = 60 + random(33); break;   // coordination numbers and 60, 92
    default: day = 1 + random(28);
  }
  // "personnummer" refuses the serial 000; our rule does not look at it.
  const serial = pad(1 + random(999), 3);
  const nine = pad(year % 100, 2) + pad(month, 2) + pad(day, 2) + serial;
  let check = luhnDigit(nine);
  if (random(4) === 0) check = (check + 1 + random(9)) % 10;
  let text;
  switch (random(4)) {
    case 0: text = pad(Math.floor(year / 100), 2) + nine + check; break;
    case 1: text = pad(Math.floor(year / 100), 2) + nine.slice(0, 6) + '-' + nine.slice(6) + check; break;
    case 2: text = nine + check; break;
    default: text = nine.slice(0, 6) + (random(3) === 0 ? '+' : '-') + nine.slice(6) + check;
  }
  lines.push(text + '\t' + (Personnummer.valid(text) ? 1 : 0));
}
process.stdout.write(lines.join('\n') + '\n');
