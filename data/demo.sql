-- Demonstration data: a few companies and one user (password "1234").
-- The first company is written the way other software often leaves it:
-- blanks around the CNPJ and punctuation in it, a hyphen in the CEP, a telephone
-- longer than a beneficiary's column.

INSERT INTO Empresa (CODIGO, NOME, CNPJ, NOME1, ENDERECO, COMPL, BAIRRO, CIDADE, ESTADO, CEP,
                     NLOCAL, TELEFONE, EMAIL, COD_MUN)
VALUES (1, 'Padaria Pão de Açúcar Ltda', ' 12345678/0001-95 ', 'Pão de Açúcar',
        'Rua das Laranjeiras', 'Loja 2', 'Centro', 'São Paulo', 'SP', '01010-000', '120',
        '(11) 3456-7890 r.22', 'contato@paodeacucar.example', '3550308');

INSERT INTO Empresa (CODIGO, NOME, CNPJ, NOME1, ENDERECO, COMPL, BAIRRO, CIDADE, ESTADO, CEP,
                     NLOCAL, TELEFONE, EMAIL, COD_MUN)
VALUES (2, 'Ferragens Irmãos D''Ávila S.A.', '98765432000110', 'Ferragens D''Ávila',
        'Avenida Brasil', NULL, 'Jardim América', 'Belo Horizonte', 'MG', '30140071', '4500',
        '3132221100', 'vendas@davila.example', '3106200');

INSERT INTO Empresa (CODIGO, NOME, CNPJ, NOME1, ENDERECO, COMPL, BAIRRO, CIDADE, ESTADO, CEP,
                     NLOCAL, TELEFONE, EMAIL, COD_MUN)
VALUES (3, 'Cooperativa Agrícola do Vale', '11.222.333/0001-81', 'CoopVale',
        'Estrada Municipal', 'Km 7', 'Zona Rural', 'Chapecó', 'SC', '89801-970', 's/n',
        '49 3322-1100', 'coop@vale.example', '4204202');

INSERT INTO usuarios (CODIGO, NOME, SENHA, LIBERA, MASTER)
VALUES ('001', 'Administrador', '1234', NULL, '1');
