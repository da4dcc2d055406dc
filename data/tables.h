#pragma once

// The columns of the five tables, in the order their record sets select
// them: name, kind, size in characters, required, grid label.

#define TREVALO_USUARIOS_COLUMNS(X)                                                                \
    X(CODIGO, Text, 5, false, "")                                                                  \
    X(NOME, Text, 30, false, "")                                                                   \
    X(SENHA, Text, 6, false, "")                                                                   \
    X(LIBERA, Text, 202, false, "")                                                                \
    X(MASTER, Text, 1, false, "")

#define TREVALO_EMPRESA_COLUMNS(X)                                                                 \
    X(CODIGO, Integer, 0, false, "Código")                                                         \
    X(NOME, Text, 40, false, "Razão Social")                                                       \
    X(CNPJ, Text, 18, false, "")                                                                   \
    X(NOME1, Text, 40, false, "Fantasia")                                                          \
    X(ENDERECO, Text, 40, false, "Endereço")                                                       \
    X(COMPL, Text, 40, false, "Complemento")                                                       \
    X(BAIRRO, Text, 30, false, "Bairro")                                                           \
    X(CIDADE, Text, 30, false, "Cidade")                                                           \
    X(ESTADO, Text, 2, false, "UF")                                                                \
    X(CEP, Text, 10, false, "")                                                                    \
    X(NLOCAL, Text, 10, false, "Número")                                                           \
    X(TELEFONE, Text, 30, false, "Telefone")                                                       \
    X(EMAIL, Text, 40, false, "e-mail")                                                            \
    X(COD_MUN, Text, 9, false, "Cód. Mun.")

#define TREVALO_BOLETOCEDENTE_COLUMNS(X)                                                           \
    X(BCECODIGO, Integer, 0, true, "Código")                                                       \
    X(BCERAZAO, Text, 200, false, "Razão Social")                                                  \
    X(BCEFANTASIA, Text, 200, false, "Nome Fantasia")                                              \
    X(BCECNPJ, Text, 14, false, "CNPJ")                                                            \
    X(BCELOGRADOURO, Text, 200, false, "Logradouro")                                               \
    X(BCENUMERO, Text, 10, false, "Número")                                                        \
    X(BCECOMPLEMENTO, Text, 100, false, "Complemento")                                             \
    X(BCEBAIRRO, Text, 100, false, "Bairro")                                                       \
    X(BCECEP, Text, 8, false, "CEP")                                                               \
    X(BCECODIBGECIDADE, Text, 7, false, "Cód. IBGE Cidade")                                        \
    X(BCETELEFONE, Text, 11, false, "Telefone")                                                    \
    X(BCEEMAIL, Text, 150, false, "e-mail")                                                        \
    X(BCEIDCEDENTE, Text, 20, false, "ID Cedente")                                                 \
    X(BCEDATACRIADO, Text, 20, false, "Data Criado")                                               \
    X(BCEDATAATUALIZADO, Text, 20, false, "Data Atualizado")                                       \
    X(BCETOKEN, Text, 32, false, "TOKEN")                                                          \
    X(BCETOKENESALES, Text, 32, false, "TOKEN eSales")                                             \
    X(BCESITUACAO, Text, 20, false, "Situação")                                                    \
    X(BCECODSOFTWAREHOUSE, Text, 20, false, "Cód. Software House")                                 \
    X(BCECONFIGEMAIL, Text, 150, false, "Config e-mail")                                           \
    X(BCECONFIGNOTIFICACAO, Text, 100, false, "Config Notificação")                                \
    X(BCEMOTIVOINATIVACAO, Text, 150, false, "Motivo Inativação")                                  \
    X(BCEDATAATIVACAO, Text, 20, false, "Data Ativação")                                           \
    X(BCEDATAINATIVACAO, Text, 20, false, "Data Inativação")                                       \
    X(BCECERTIFICADO, Text, 20, false, "Certificado")                                              \
    X(BCEVENCIMENTOCERTIFICADO, Text, 20, false, "Vencimento Certificado")

#define TREVALO_BOLETOCONTA_COLUMNS(X)                                                             \
    X(BCOCODIGO, Integer, 0, true, "Código")                                                       \
    X(BCOCONTACODIGOBANCO, Text, 3, false, "Cód. Banco")                                           \
    X(BCOCONTAAGENCIA, Text, 4, false, "Agência")                                                  \
    X(BCOCONTAAGENCIADV, Text, 1, false, "DV Agência")                                             \
    X(BCOCONTANUMERO, Text, 20, false, "Número Conta")                                             \
    X(BCOCONTANUMERODV, Text, 1, false, "DV Número Conta")                                         \
    X(BCOCONTATIPO, Text, 8, false, "Tipo de Conta")                                               \
    X(BCOCONTACODBENEFICIARIO, Text, 10, false, "Cód. Beneficiário")                               \
    X(BCOCONTACODBANCOCORRESP, Text, 3, false, "Cód. Banco Correspondente")                        \
    X(BCOCONTACODIGOEMPRESA, Text, 10, false, "Cód. Empresa")                                      \
    X(BCOCONTAVALIDACAOATIVA, Text, 1, false, "Validação Ativa")                                   \
    X(BCOCONTAIMPRATUALIZADA, Text, 1, false, "Impressão Atualizada")                              \
    X(BCOCONTAIMPRATUALIZADAALT, Text, 1, false, "Imp. Atualizada Alteração")                      \
    X(BCOCONTAIMPRATUALIZADALIQ, Text, 1, false, "Imp. Atualizada Liquidado")                      \
    X(BCODATACRIADO, Text, 20, false, "Data Criação")                                              \
    X(BCODATAATUALIZADO, Text, 20, false, "Data Atualização")                                      \
    X(BCOSTATUS, Text, 15, false, "Status")                                                        \
    X(BCOCONTAID, Text, 20, false, "ID Conta")                                                     \
    X(BCOCONTAATIVA, Text, 1, false, "Conta Ativa")                                                \
    X(BCEIDCEDENTE, Text, 20, false, "ID Cedente")                                                 \
    X(BCECNPJ, Text, 14, false, "CNPJ do Cedente")

#define TREVALO_BOLETOCONVENIO_COLUMNS(X)                                                          \
    X(BCVCODIGO, Integer, 0, true, "Cód. Convênio")                                                \
    X(BCOCONTAID, Text, 20, false, "ID Conta")                                                     \
    X(BCVCONVENIONUMERO, Text, 20, false, "Número Convênio")                                       \
    X(BCVCONVENIODESCRICAO, Text, 50, false, "Descrição Convênio")                                 \
    X(BCVCONVENIOCARTEIRA, Text, 15, false, "Carteira")                                            \
    X(BCVCONVENIOCARTEIRACODIGO, Text, 1, false, "Cód. Carteira")                                  \
    X(BCVCONVENIOESPECIE, Text, 10, false, "Espécie")                                              \
    X(BCVCONVENIOPADRAOCNAB, Text, 3, false, "Padrão CNAB")                                        \
    X(BCVCONVENIOREINICIARDIARIA, Text, 1, false, "Reiniciar Diariamente")                         \
    X(BCVCONVENIONUMEROREMESSA, Text, 10, false, "Número Remessa")                                 \
    X(BCVCONVENIODENSIDAREMESSA, Text, 10, false, "Densidade Remessa")                             \
    X(BCVCONVENIOREGINSTA, Text, 1, false, "Registra Instantâneo")                                 \
    X(BCVCONVENIOAPIID, Text, 20, false, "IP API")                                                 \
    X(BCVCONVENIOAPIKEY, Text, 20, false, "Key API")                                               \
    X(BCVCONVENIOAPISECRET, Text, 20, false, "Secret API")                                         \
    X(BCVCONVENIOESTACAO, Text, 20, false, "Estação")                                              \
    X(BCVCONVENIONOSSONUMEROBANCO, Text, 1, false, "Banco Controla Nosso Núm")                     \
    X(BCVCONVENIONOSSONUMCONCILIA, Text, 1, false, "Concilia Nosso Número")                        \
    X(BCVCONVENIOTIPOWEBSERVICE, Text, 10, false, "Tipo Web Service")                              \
    X(BCVCONVENIOCONSULTAWS, Text, 1, false, "Consulta Web Service")                               \
    X(BCVCONVENIONUMEROCONTRATO, Text, 20, false, "Número Contrato")                               \
    X(BCVCONVENIOVERSAOLAYOUTARQ, Text, 20, false, "Versão Layout Arquivo")                        \
    X(BCVCONVENIOALTWEBSERVICE, Text, 1, false, "Altera Boleto via Web Service")                   \
    X(BCVCONVENIODATACRIADO, Text, 20, false, "Data Criação")                                      \
    X(BCVCONVENIODATAATUALIZADO, Text, 20, false, "Data Atualização")
