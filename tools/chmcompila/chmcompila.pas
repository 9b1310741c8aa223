{ chmcompila PROYECTO.hhp

  Compiles an HTML Help project into its .CHM with Free Pascal's CHM units, as chmcmd does, with
  one difference: the context map (#IVB) names each topic by its path inside the .CHM
  ("plantilla.html"). chmcmd 3.2.2 writes the absolute path of the project folder there
  ("/home/.../plantilla.html"), which HTML Help then cannot find, so every HH_HELP_CONTEXT
  request would open a page that does not exist.

  Exit status 0 when the .CHM was written, 1 on any error (its text on standard error). }
program chmcompila;

{$mode objfpc}{$H+}

uses
  {$ifdef unix}cwstring,{$endif} // the binary index is written in UTF-16
  Classes, SysUtils, chmfilewriter, chmwriter, chmsitemap;

type
  TProyecto = class(TChmProject)
  public
    procedure WriteChm(AOutStream: TStream); override;
  end;

var
  Errores: Integer = 0;

procedure Aviso(Project: TChmProject; errorkind: TChmProjectErrorKind; msg: String;
  detaillevel: Integer);
begin
  case errorkind of
    chmerror:
      begin
        WriteLn(StdErr, 'chmcompila: error: ', msg);
        Inc(Errores);
      end;
    chmwarning:
      WriteLn(StdErr, 'chmcompila: aviso: ', msg);
  end;
end;

{ The steps of TChmProject.WriteChm, with each context added under the topic's name in the .CHM. }
procedure TProyecto.WriteChm(AOutStream: TStream);
var
  Writer: TChmWriter;
  Nodo: TChmContextNode;
  Indice: TChmSiteMap;
  I: Integer;
begin
  LoadSiteMaps;
  if ScanHtmlContents then
    ScanHtml;

  Indice := nil;
  Writer := TChmWriter.Create(AOutStream, False);
  try
    Writer.OnGetFileData := @GetData;
    Writer.OnLastFile := @LastFileAdded;
    Writer.FilesToCompress.AddStrings(Files);
    Writer.FilesToCompress.AddStrings(OtherFiles);
    Writer.DefaultPage := DefaultPage;
    Writer.Title := Title;
    Writer.DefaultFont := DefaultFont;
    Writer.FullTextSearch := MakeSearchable;
    Writer.HasBinaryTOC := MakeBinaryTOC;
    Writer.HasBinaryIndex := MakeBinaryIndex;
    Writer.IndexName := IndexFileName;
    Writer.TocName := TableOfContentsFileName;
    Writer.ReadmeMessage := ReadmeMessage;
    Writer.DefaultWindow := DefaultWindow;
    Writer.LocaleID := LocaleID;
    for I := 0 to Files.Count - 1 do
    begin
      Nodo := TChmContextNode(Files.Objects[I]);
      if not FileExists(ProjectDir + Files[I]) then
        Error(chmerror, 'File ' + Files[I] + ' does not exist');
      if Assigned(Nodo) and (Nodo.ContextNumber <> 0) then
        Writer.AddContext(Nodo.ContextNumber, StringReplace(Files[I], '\', '/', [rfReplaceAll]));
    end;
    if Windows.Count > 0 then
      Writer.Windows := Windows;
    if MergeFiles.Count > 0 then
      Writer.MergeFiles := MergeFiles;
    // The table of contents' own settings (font, colours, images) for #IDXHDR.
    if (TableOfContentsFileName <> '') and FileExists(ProjectDir + TableOfContentsFileName) then
    begin
      Indice := TChmSiteMap.Create(stTOC);
      Indice.LoadFromFile(ProjectDir + TableOfContentsFileName);
      Writer.TocSitemap := Indice;
    end;
    Writer.Execute;
  finally
    Writer.Free;
    Indice.Free;
  end;
end;

var
  Proyecto: TProyecto;
  Salida: TFileStream;
  Destino: String;
begin
  // The project's texts are Windows-1252, and the binary index is written from them in UTF-16.
  SetMultiByteConversionCodePage(1252);
  if ParamCount <> 1 then
  begin
    WriteLn(StdErr, 'uso: chmcompila PROYECTO.hhp');
    Halt(64);
  end;
  Proyecto := TProyecto.Create;
  try
    try
      Proyecto.OnError := @Aviso;
      Proyecto.LoadFromHhp(ParamStr(1), False);
      if Proyecto.OutputFileName = '' then
        raise Exception.Create('the project names no compiled file');
      Destino := Proyecto.OutputFileName;
      if ExtractFilePath(Destino) = '' then
        Destino := Proyecto.ProjectDir + Destino;
      Salida := TFileStream.Create(Destino, fmCreate);
      try
        Proyecto.WriteChm(Salida);
      finally
        Salida.Free;
      end;
      if Errores > 0 then
      begin
        DeleteFile(Destino);
        Halt(1);
      end;
    except
      on E: Exception do
      begin
        WriteLn(StdErr, 'chmcompila: ', E.Message);
        Halt(1);
      end;
    end;
  finally
    Proyecto.Free;
  end;
end.
