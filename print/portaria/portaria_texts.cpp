// Every Portuguese word the Portaria 195/2020 check says.
#include "portaria/portaria_texts.h"

namespace qrticket::portaria {
namespace {

std::string Number(long long n) { return std::to_string(n); }

// "64000.02" for 6400002 cents, as the field writes it.
std::string Cents(long long cents) {
  const std::string units = Number(cents / 100);
  const long long rest = cents % 100;
  return units + (rest < 10 ? ".0" : ".") + Number(rest);
}

std::string Sentence(const Finding& f) {
  switch (f.point) {
    case Point::kNoColon: return "depois deste campo vem um troço sem código e \":\"";
    case Point::kUnknownCode: return "código que a portaria não conhece";
    case Point::kRepeated: return "campo repetido";
    case Point::kOutOfOrder: return "fora de ordem: vem depois de " + f.detail + " e tem de vir antes";
    case Point::kMissing: return "campo obrigatório em falta";
    case Point::kEmpty: return "campo vazio: um campo sem informação fica de fora";
    case Point::kTooLong:
      return Number(f.second) + " caracteres, mais do que os " + Number(f.first) + " permitidos";
    case Point::kSpaces: return "espaço junto de \":\" ou de \"*\"";
    case Point::kMoney:
      return "valor fora do formato: ponto decimal, duas casas decimais, sem separador de "
             "milhares (ex.: 1234.50)";
    case Point::kDate: return "data inexistente ou fora do formato AAAAMMDD";
    case Point::kIssuerNif:
      return "NIF do emitente inválido: 9 algarismos, sem prefixo do país, com o dígito de "
             "controlo certo";
    case Point::kBuyerNif:
      return "NIF de adquirente português inválido: 9 algarismos com o dígito de controlo "
             "certo (999999990 para consumidor final)";
    case Point::kCountry:
      return "país fora da lista do SAF-T (PT): código ISO 3166-1 de duas letras maiúsculas ou "
             "\"Desconhecido\"";
    case Point::kDocumentType: return "tipo de documento fora da lista do SAF-T (PT)";
    case Point::kDocumentStatus: return "estado do documento fora da lista do SAF-T (PT)";
    case Point::kDocumentIdForm:
      return "identificação do documento fora da forma do SAF-T (PT): tipo, espaço, "
             "série/número (ex.: FT AB2019/0035)";
    case Point::kDocumentIdType: return "não começa pelo tipo de documento de D";
    case Point::kAtcudForm:
      return "ATCUD fora da forma código de validação (8 ou mais letras e algarismos), hífen, "
             "número sequencial; ou 0 enquanto a série não tem código";
    case Point::kAtcudNoHyphen:
      return "ATCUD sem hífen entre o código de validação e o número sequencial "
             "(ex.: CDF7T5HD-12345)";
    case Point::kRegion: return "região fiscal fora da lista do SAF-T (PT): PT, PT-AC ou PT-MA";
    case Point::kRegionZero:
      return "0 é para documentos sem taxa de IVA, mas há valores de IVA ou outras regiões";
    case Point::kBlockWithoutRegion: return "valor de uma região fiscal sem o campo da região (" + f.detail + ")";
    case Point::kRegionRepeated: return "a mesma região fiscal de " + f.detail;
    case Point::kThirdWithoutSecond: return "terceira região fiscal sem a segunda (J1)";
    case Point::kHashLength: return "tem de ter os 4 caracteres do hash da assinatura";
    case Point::kCertificate: return "o número do certificado tem só algarismos";
    case Point::kOtherStar: return "contém \"*\", que separa os campos";
    case Point::kOtherItems: return "item vazio: os itens separam-se por um só \";\"";
    case Point::kTaxSum:
      return Cents(f.first) + " difere da soma do IVA das regiões e do imposto do selo (" +
             Cents(f.second) + ")";
    case Point::kTotalSum:
      return Cents(f.first) + " difere da soma das bases, de L e de N (" + Cents(f.second) + ")";
    case Point::kSymbolLevel: return "nível " + f.detail + "; a portaria pede o nível M";
    case Point::kSymbolVersion:
      return "versão " + f.detail + Number(f.first) +
             "; a portaria pede a versão 9 ou mais. A impressora escolhe a versão pelo "
             "comprimento do texto";
    case Point::kSymbolWidth:
      return MillimetresAt(static_cast<int>(f.first), static_cast<int>(f.second)) +
             " mm de largura a " + Number(f.second) + " ppp; a portaria pede pelo menos 30 mm";
    case Point::kNoSymbol: return "a impressora não desenha nenhum símbolo";
  }
  return {};
}

}  // namespace

std::string VerdictWords(Verdict verdict) {
  switch (verdict) {
    case Verdict::kMeets: return "cumpre";
    case Verdict::kMeetsWithWarnings: return "cumpre, com avisos";
    case Verdict::kFails: return "não cumpre";
  }
  return {};
}

std::string VerdictLine(Verdict verdict) { return "Portaria 195/2020: " + VerdictWords(verdict); }

std::string FindingSentence(const Finding& finding) {
  return Sentence(finding) + (finding.weight == Weight::kWarning ? " (aviso)" : " (não cumpre)");
}

std::string FindingLine(const Finding& finding) {
  return finding.subject + ": " + FindingSentence(finding);
}

std::string PortariaReport(const Findings& findings) {
  std::string report = VerdictLine(VerdictOf(findings));
  for (const Finding& f : findings) report += "\n" + FindingLine(f);
  return report;
}

std::string DensityLine(int dpi) { return "Densidade da impressora: " + Number(dpi) + " ppp"; }

std::string MillimetresAt(int dots, int dpi) {
  if (dpi <= 0) return "0,0";
  const long long tenths = 254LL * dots / dpi;
  return Number(tenths / 10) + "," + Number(tenths % 10);
}

}  // namespace qrticket::portaria
