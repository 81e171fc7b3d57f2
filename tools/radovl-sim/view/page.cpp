// The page view serves: plain HTML, CSS and script, written here so the
// tool needs nothing from the network to build or to show it.
#include "view/view_command.h"

namespace radovl::tool {

const char* const ViewPage = R"PAGE(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>radovl-sim view</title>
<style>
body{margin:0;font:13px system-ui,sans-serif;display:grid;grid-template-columns:440px 1fr;grid-template-rows:auto 1fr;height:100vh}
header{grid-column:1/3;padding:6px 10px;background:#223;color:#eee;display:flex;gap:12px;align-items:center}
header b{font-size:15px}#status{opacity:.8}
#left{display:flex;flex-direction:column;border-right:1px solid #ccc;min-height:0}
#search{margin:6px;padding:4px}
#calls{overflow:auto;flex:1;font-family:monospace;font-size:12px}
#calls div{padding:1px 6px;white-space:nowrap;cursor:pointer}
#calls div:hover{background:#eef}#calls div.selected{background:#36c;color:#fff}
#calls .bad{color:#c00}#calls .selected.bad{color:#fdd}
#main{overflow:auto;padding:8px;min-height:0}
#picture img{max-width:100%;border:1px solid #ccc}
#nav button{margin-right:4px}
.cols{display:grid;grid-template-columns:1fr 1fr;gap:12px}
pre{font-size:11px;background:#f6f6f6;padding:6px;overflow:auto;max-height:320px;margin:0}
table{border-collapse:collapse;font-family:monospace;font-size:11px}
td,th{padding:1px 6px;text-align:left;border-bottom:1px solid #eee}
#registers{max-height:420px;overflow:auto;display:block}
a.jump{color:#36c;cursor:pointer;text-decoration:underline}
h3{margin:10px 0 4px}
</style></head><body>
<header><b>radovl-sim view</b><span id="status">loading…</span></header>
<div id="left"><input id="search" placeholder="search calls (name or argument)" autocomplete="off">
<div id="calls" tabindex="0"></div></div>
<div id="main">
<div id="nav"><button id="first">⇤ first</button><button id="prev">← previous</button><button id="next">next →</button><button id="last">last ⇥</button>
<span id="title"></span></div>
<div id="picture"><img id="svg" alt="the board's two outputs"></div>
<div class="cols"><div><h3>Requests, decoded</h3><pre id="decoded"></pre></div>
<div><h3>Registers this call changed</h3><table id="changes"><tbody></tbody></table></div></div>
<h3>Named registers after this call <input id="regsearch" placeholder="filter" autocomplete="off"></h3>
<table id="registers"><thead><tr><th>register</th><th>value</th><th>fields</th><th>last written by</th></tr></thead><tbody></tbody></table>
</div>
<script>
"use strict";
let calls = [], selected = 0, total = 0, shown = [];
const $ = id => document.getElementById(id);
function row(cells) { const tr = document.createElement("tr"); for (const c of cells) { const td = document.createElement("td"); if (c instanceof Node) td.appendChild(c); else td.textContent = c; tr.appendChild(td); } return tr; }
function callLine(c) { return c.n + "  " + c.name + (c.args.length ? " " + c.args.join(" ") : "") + "  = " + (c.status === null ? "…" : c.status) + "  (" + c.requests + (c.requests === 1 ? " request)" : " requests)"); }
function renderList() {
  const q = $("search").value.trim().toLowerCase();
  const box = $("calls"); box.textContent = ""; shown = [];
  for (const c of calls) {
    const line = callLine(c);
    if (q && !line.toLowerCase().includes(q)) continue;
    const d = document.createElement("div"); d.textContent = line; d.dataset.n = c.n;
    if (c.status !== null && c.status !== 1) d.classList.add("bad");
    if (c.n === selected) d.classList.add("selected");
    d.onclick = () => select(c.n);
    box.appendChild(d); shown.push(c.n);
  }
}
function addCalls(list) {
  for (const c of list) {
    calls[c.n - 1] = c;
    if (!$("search").value) {
      const d = document.createElement("div"); d.textContent = callLine(c); d.dataset.n = c.n; d.onclick = () => select(c.n);
      const old = $("calls").querySelector('div[data-n="' + c.n + '"]');
      if (old) old.replaceWith(d); else { $("calls").appendChild(d); shown.push(c.n); }
    }
  }
}
async function load(from) {
  const r = await fetch("/api/calls?from=" + from); const j = await r.json();
  total = j.total;
  if (from === 0) { calls = j.calls; renderList(); } else { calls.length = from; addCalls(j.calls); }
  $("status").textContent = total + " calls" + (j.note ? " — " + j.note : "");
}
async function select(n) {
  if (n < 1 || n > calls.length) return;
  selected = n;
  for (const d of $("calls").querySelectorAll(".selected")) d.classList.remove("selected");
  const d = $("calls").querySelector('div[data-n="' + n + '"]');
  if (d) { d.classList.add("selected"); d.scrollIntoView({block: "nearest"}); }
  $("title").textContent = "call " + n + ": " + callLine(calls[n - 1]).replace(/^\d+\s+/, "");
  $("svg").src = "/api/svg/" + n;
  const r = await fetch("/api/call/" + n); if (!r.ok || selected !== n) return;
  const j = await r.json(); if (selected !== n) return;
  $("decoded").textContent = j.decoded.join("\n") + (j.decodedMore ? "\n… and " + j.decodedMore + " more requests (decode shows them all)" : "");
  const ch = $("changes").tBodies[0]; ch.textContent = "";
  for (const c of j.changes) ch.appendChild(row([c.register, c.before + " → " + c.after]));
  if (!j.changes.length) ch.appendChild(row(["(none of the named registers; colour tables are not listed)"]));
  const rb = $("registers").tBodies[0]; rb.textContent = "";
  for (const g of j.registers) {
    let by = "never";
    if (g.lastWrittenBy) { by = document.createElement("a"); by.className = "jump"; by.textContent = "call " + g.lastWrittenBy; by.onclick = () => select(g.lastWrittenBy); }
    const tr = row([g.register, g.value, g.fields, by]); tr.dataset.register = g.register; rb.appendChild(tr);
  }
  filterRegisters();
  document.body.dataset.shown = n;
}
function filterRegisters() { const q = $("regsearch").value.toLowerCase(); for (const tr of $("registers").tBodies[0].rows) tr.style.display = !q || tr.dataset.register.toLowerCase().includes(q) ? "" : "none"; }
function step(delta) { if (!shown.length) return; let i = shown.indexOf(selected); i = i < 0 ? 0 : Math.max(0, Math.min(shown.length - 1, i + delta)); select(shown[i]); }
document.addEventListener("keydown", e => {
  if (e.target.tagName === "INPUT") return;
  if (e.key === "ArrowDown" || e.key === "ArrowRight") step(1);
  else if (e.key === "ArrowUp" || e.key === "ArrowLeft") step(-1);
  else if (e.key === "Home") step(-1e9);
  else if (e.key === "End") step(1e9);
  else return;
  e.preventDefault();
});
$("first").onclick = () => step(-1e9); $("last").onclick = () => step(1e9);
$("prev").onclick = () => step(-1); $("next").onclick = () => step(1);
$("search").oninput = renderList; $("regsearch").oninput = filterRegisters;
(async () => {
  await load(0);
  if (calls.length) await select(1);
  const events = new EventSource("/api/events");
  events.onmessage = async e => {
    const j = JSON.parse(e.data);
    const atEnd = selected === calls.length;
    if (j.total < calls.length) { await load(0); if (selected > calls.length) select(calls.length); return; }
    if (j.total === calls.length && calls.length && calls[calls.length - 1].status !== null) return;
    const from = Math.max(0, calls.length - 1);
    await load(from);
    if (atEnd && calls.length) select(calls.length); else if (selected) select(selected);
  };
})();
</script></body></html>
)PAGE";

}  // namespace radovl::tool
