// The bench page: the list comes from /api/receipts, then the event stream adds each new
// receipt without a reload. Everything from a job goes in through textContent and attributes,
// never as HTML.
"use strict";

const MAXIMO = 200;
const lista = document.getElementById("recibos");
const modelo = document.getElementById("modelo");
const estado = document.getElementById("estado");
const contagem = document.getElementById("contagem");
const vazio = document.getElementById("vazio");

function atualizarContagem() {
  const n = lista.children.length;
  contagem.textContent = n === 1 ? "1 talão" : n + " talões";
  vazio.hidden = n > 0;
}

function mostrarEstado(texto, desligada) {
  estado.textContent = texto;
  estado.classList.toggle("desligada", desligada);
}

// One receipt, in its place by number (newest first); one already shown is left alone.
function mostrar(recibo) {
  if (document.getElementById("recibo-" + recibo.id)) return;
  const artigo = modelo.content.firstElementChild.cloneNode(true);
  artigo.id = "recibo-" + recibo.id;
  artigo.dataset.id = String(recibo.id);
  artigo.querySelector(".titulo").textContent = "Talão " + recibo.id;
  const hora = artigo.querySelector(".hora");
  hora.dateTime = recibo.time;
  hora.textContent = new Date(recibo.time).toLocaleString("pt-PT");
  artigo.querySelector(".remetente").textContent = recibo.sender;
  artigo.querySelector(".bytes").textContent = recibo.bytes + " bytes";
  const imagem = artigo.querySelector(".imagem");
  imagem.src = recibo.picture;
  imagem.alt = "Imagem do talão " + recibo.id;
  const png = artigo.querySelector(".png");
  png.href = recibo.picture;
  png.download = "talao-" + recibo.id + ".png";
  const bin = artigo.querySelector(".bin");
  if (recibo.raw) {
    bin.href = recibo.raw;
    bin.download = "talao-" + recibo.id + ".bin";
  } else {
    bin.remove();
  }
  artigo.querySelector(".relatorio").textContent = recibo.report;

  let depois = null;
  for (const outro of lista.children) {
    if (Number(outro.dataset.id) < recibo.id) {
      depois = outro;
      break;
    }
  }
  lista.insertBefore(artigo, depois);
  while (lista.children.length > MAXIMO) lista.lastElementChild.remove();
  atualizarContagem();
}

function esvaziar() {
  lista.replaceChildren();
  atualizarContagem();
}

async function carregar() {
  try {
    const resposta = await fetch("/api/receipts", { cache: "no-store" });
    if (!resposta.ok) throw new Error(String(resposta.status));
    const recibos = await resposta.json();
    esvaziar();
    for (const recibo of recibos) mostrar(recibo);
  } catch (erro) {
    mostrarEstado("Não foi possível ler a lista de talões.", true);
  }
}

function ligar() {
  const eventos = new EventSource("/api/events");
  eventos.addEventListener("open", () => {
    mostrarEstado("Ligada: os talões novos aparecem sozinhos.", false);
    carregar();
  });
  eventos.addEventListener("receipt", (evento) => mostrar(JSON.parse(evento.data)));
  eventos.addEventListener("clear", esvaziar);
  eventos.addEventListener("reload", carregar);
  eventos.addEventListener("error", () => {
    if (eventos.readyState === EventSource.CLOSED) {
      // Refused (too many pages open) or the program ended: try again a little later.
      mostrarEstado("Sem ligação à impressora virtual; a tentar de novo…", true);
      setTimeout(ligar, 5000);
    } else {
      mostrarEstado("Ligação perdida; a tentar de novo…", true);
    }
  });
}

document.getElementById("limpar").addEventListener("click", async () => {
  try {
    const resposta = await fetch("/api/clear", { method: "POST", headers: { "X-Bancada": "limpar" } });
    if (!resposta.ok) throw new Error(String(resposta.status));
    esvaziar();
  } catch (erro) {
    mostrarEstado("Não foi possível limpar a lista.", true);
  }
});

atualizarContagem();
ligar();
